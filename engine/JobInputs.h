#pragma once

#include <string>

namespace tessella {

// What a job is asked to do, as the user gave it: filled by whoever starts the job (the window
// from its controls, the command line from its arguments) before it runs, and read by the job.
struct JobInputs {
    // How a decrypted file is named.
    enum DestinationChoice : int { kSameFolderOriginalName = 0, kSpecifyPathname = 1 };

    bool encryptMode = true;
    std::string source;
    std::string destination;
    std::string password;
    std::string confirmation;
    // While the password is shown in clear no confirmation is asked for.
    bool passwordVisible = false;
    // Read only when decrypting: encrypting always writes to `destination`.
    int destinationChoice = kSpecifyPathname;
    // The new encrypted file is decrypted again in memory and its checksum compared.
    bool check = false;
    // Paths typed into boxes lose stray blanks around them; a command line passes paths that
    // are used exactly.
    bool trimPaths = true;
    // An existing destination is replaced without asking.
    bool force = false;
};

}  // namespace tessella
