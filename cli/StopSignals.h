#pragma once

namespace tessella {

class CliBatch;

// How the program meets signals from outside: Ctrl-C, a closed terminal and a polite kill stop
// the running jobs; a lost reader of its messages or a file size limit never ends it.
namespace StopSignals {

// Installs the handlers; before any job the program ends as the signal would have ended it.
void Catch();
// From here on a stop signal stops `batch`'s jobs instead.
void Stop(CliBatch* batch);
// The jobs are over and their results final: a stop signal that arrives now changes nothing.
void Finished();

}  // namespace StopSignals

}  // namespace tessella
