#include "Sound.h"

#include <dos.h>
#include <iffparse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "Enviroment.h"
#include "Log.h"
#include "StringUtils.h"

namespace tessella {

namespace {

constexpr LONG kId8SVX = MAKE_ID('8', 'S', 'V', 'X');
constexpr LONG kIdVHDR = MAKE_ID('V', 'H', 'D', 'R');
constexpr LONG kIdBODY = MAKE_ID('B', 'O', 'D', 'Y');
constexpr LONG kVhdrSize = 20;

Library* iffParseBase = nullptr;
int iffParseUsers = 0;
// Any one of the four channels will do.
UBYTE channelMap[] = {1, 2, 4, 8};

ULONG BigEndian32(const UBYTE* p) {
    return static_cast<ULONG>(p[0]) << 24 | static_cast<ULONG>(p[1]) << 16 |
           static_cast<ULONG>(p[2]) << 8 | p[3];
}

UWORD BigEndian16(const UBYTE* p) {
    return static_cast<UWORD>(p[0] << 8 | p[1]);
}

std::string LinuxPath(const std::string& path) {
    return StringUtils::Latin1ToUtf8(path);
}

// A name in a folder, with one "/" between them.
std::string InFolder(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// A sound file's name without its folder: after the last "/", or after the volume's ":".
std::string NameOf(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        cut = path.rfind(':');
    }
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Copies a whole, non-empty file.
bool CopyWhole(const std::string& source, const std::string& target) {
    std::error_code error;
    return std::filesystem::file_size(source, error) > 0 && !error &&
           std::filesystem::copy_file(source, target,
                                      std::filesystem::copy_options::overwrite_existing, error);
}

// The folder for the copies, as a Linux path. The runtime folder the desktop gives each user
// is private by definition; without one, a folder of our own under the temporary directory,
// named for the user so that every run finds the copies again.
std::string CopiesFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return InFolder(runtime, "tessella");
    }
    return InFolder(Enviroment::PathTemp(), "tessella-") +
           StringUtils::IntToStr(static_cast<int64_t>(getuid()));
}

// Whether the folder is ours alone: a real directory (not a link to one), owned by this user,
// that nobody else may enter. Copies found in any other folder could be anyone's.
bool IsPrivate(const std::string& folder) {
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 077) == 0;
}

bool MakePrivateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return IsPrivate(folder);
}

}  // namespace

Sound::Sound() {
    Library* base = OpenLibrary("iffparse.library", 37);
    if (base == nullptr) {
        Log::Write("load iffparse.library fallita!");
        return;
    }
    iffParseBase = base;
    libraryOpen = 1;
    ++iffParseUsers;
    port = CreateMsgPort();
    if (port == nullptr) {
        return;
    }
    request = reinterpret_cast<IOAudio*>(CreateExtIO(port, sizeof(IOAudio)));
}

Sound::~Sound() {
    if (playing != 0) {
        StopPlay();
    }
    if (deviceOpen != 0) {
        CloseDevice(&request->ioa_Request);
    }
    if (request != nullptr) {
        DeleteExtIO(&request->ioa_Request);
    }
    if (port != nullptr) {
        DeleteMsgPort(port);
    }
    FreeSamples();
    if (libraryOpen != 0) {
        CloseLibrary(iffParseBase);
        if (--iffParseUsers == 0) {
            iffParseBase = nullptr;
        }
    }
}

// Opening the sound output can take a tenth of a second (more when the machine has none), so it
// waits for the first sound instead of delaying the window; a failed open is not retried.
bool Sound::OpenOutput() {
    if (deviceOpen != 0 || outputTried != 0 || request == nullptr) {
        return deviceOpen != 0;
    }
    outputTried = 1;
    request->ioa_Request.io_Command = ADCMD_ALLOCATE;
    request->ioa_Request.io_Flags = ADIOF_NOWAIT;
    request->ioa_AllocKey = 0;
    request->ioa_Data = channelMap;
    request->ioa_Length = sizeof(channelMap);
    if (OpenDevice(AUDIONAME, 0, &request->ioa_Request, 0) == 0) {
        deviceOpen = 1;
    } else {
        Log::Write("Errore opendevice audio.device");
    }
    return deviceOpen != 0;
}

void Sound::FreeSamples() {
    if (samples != nullptr) {
        FreeMem(samples, samplesLength);
        samples = nullptr;
        samplesLength = 0;
    }
}

std::string Sound::FileTemporaneo(std::string path) {
    const std::string folder = StringUtils::Utf8ToLatin1(CopiesFolder());
    return InFolder(folder, NameOf(path));
}

std::string Sound::BufferizzaFile(std::string path) {
    const std::string folder = CopiesFolder();
    if (!MakePrivateFolder(folder)) {
        Log::Write("Cartella temporanea non privata: " + StringUtils::Utf8ToLatin1(folder));
        return std::string();
    }
    const std::string copy = FileTemporaneo(path);
    // Copied under a passing name and renamed when whole, so that an interrupted copy is never
    // taken for the sound.
    const std::string target = LinuxPath(copy);
    const std::string partial = target + ".part";
    if (!CopyWhole(LinuxPath(path), partial) || std::rename(partial.c_str(), target.c_str()) != 0) {
        std::remove(partial.c_str());
        return std::string();
    }
    return copy;
}

void Sound::PlayFileSound(std::string path, short loop) {
    if (!OpenOutput()) {
        return;
    }
    std::string file = path;
    const std::string copy = FileTemporaneo(path);
    if (IsPrivate(CopiesFolder()) && Exists(LinuxPath(copy))) {
        file = copy;
    } else {
        BufferizzaFile(path);
    }
    if (!Exists(LinuxPath(file))) {
        Log::Write(file + " non trovato.");
        return;
    }
    UWORD rate = 0;
    if (!LoadSamples(file, rate)) {
        return;
    }
    request->ioa_Request.io_Command = CMD_WRITE;
    request->ioa_Request.io_Flags = ADIOF_PERVOL;
    request->ioa_Data = samples;
    request->ioa_Period = static_cast<UWORD>(AUDIO_CLOCK / rate);
    request->ioa_Volume = 64;
    request->ioa_Cycles = loop == 0 ? 1 : 0;
    BeginIO(&request->ioa_Request);
    playing = 1;
}

namespace {

// Finds the sample header (VHDR) and stops at the body; false, with the reason logged, when the
// file has neither.
bool FindHeaderAndBody(IFFHandle* iff) {
    if (PropChunk(iff, kId8SVX, kIdVHDR) != 0) {
        Log::Write("VHDR non trovato");
        return false;
    }
    if (StopChunk(iff, kId8SVX, kIdBODY) != 0) {
        Log::Write("Errore StopChunk");
        return false;
    }
    if (ParseIFF(iff, IFFPARSE_SCAN) != 0) {
        Log::Write("Errore ParseIFF");
        return false;
    }
    return true;
}

// The rate and the length of the samples the header announces (a length no longer than the
// file); false, with the reason logged, for a sound this player cannot play.
bool ReadSampleHeader(IFFHandle* iff, long fileLength, UWORD& rate, LONG& length) {
    const StoredProperty* vhdr = FindProp(iff, kId8SVX, kIdVHDR);
    if (vhdr == nullptr) {
        Log::Write("VHDR non trovato");
        return false;
    }
    // The header's fields end at byte 20; a shorter one would be read past its end.
    if (vhdr->sp_Size < kVhdrSize) {
        Log::Write("VHDR incompleto");
        return false;
    }
    const auto* v = static_cast<const UBYTE*>(vhdr->sp_Data);
    const UBYTE octaves = v[14];
    const UBYTE compression = v[15];
    if (compression != 0 || octaves > 1) {
        Log::Write("E' supportato solo audio IFF senza compressione e con una ottava");
        return false;
    }
    // The period is the colour clock divided by the rate, and must fit its 16 bits.
    rate = BigEndian16(v + 12);
    if (rate == 0 || AUDIO_CLOCK / rate > 0xFFFF) {
        Log::Write("Frequenza di campionamento non valida");
        return false;
    }
    length = static_cast<LONG>(BigEndian32(v));
    if (length == 0) {
        length = static_cast<LONG>(BigEndian32(v + 4));
    }
    if (length < 0 || length > fileLength) {
        length = static_cast<LONG>(fileLength);
    }
    return true;
}

}  // namespace

bool Sound::ParseSamples(IFFHandle* iff, long fileLength, UWORD& rate) {
    LONG length = 0;
    if (!FindHeaderAndBody(iff) || !ReadSampleHeader(iff, fileLength, rate, length)) {
        return false;
    }
    // Whatever is playing reads the old samples until it has stopped.
    if (playing != 0) {
        StopPlay();
    }
    FreeSamples();
    samples =
        length > 0
            ? static_cast<UBYTE*>(AllocMem(static_cast<ULONG>(length), MEMF_CHIP | MEMF_CLEAR))
            : nullptr;
    if (samples == nullptr) {
        Log::Write("Allocazione memoria fallita");
        return false;
    }
    samplesLength = static_cast<ULONG>(length);
    // A body that ends before the size its chunk announces is a damaged file: refused rather
    // than played with what happens to be there.
    const ContextNode* body = CurrentChunk(iff);
    const LONG expected = body != nullptr && body->cn_Size < length ? body->cn_Size : length;
    const LONG got = ReadChunkBytes(iff, samples, length);
    if (got <= 0 || got < expected) {
        Log::Write("Lettura data non completata.");
        FreeSamples();
        return false;
    }
    request->ioa_Length = static_cast<ULONG>(got);
    return true;
}

bool Sound::LoadSamples(const std::string& file, UWORD& rate) {
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(LinuxPath(file), sizeError);
    const long fileLength = sizeError ? 0 : static_cast<long>(size);
    IFFHandle* iff = AllocIFF();
    if (iff == nullptr) {
        Log::Write("AlloIFF fallita");
        return false;
    }
    BPTR stream = Open(file.c_str(), MODE_OLDFILE);
    iff->iff_Stream = reinterpret_cast<IPTR>(stream);
    InitIFFasDOS(iff);
    bool loaded = false;
    if (stream == nullptr || OpenIFF(iff, IFFF_READ) != 0) {
        Log::Write("OpenIFF fallita");
    } else {
        loaded = ParseSamples(iff, fileLength, rate);
        CloseIFF(iff);
    }
    FreeIFF(iff);
    if (stream != nullptr) {
        Close(stream);
    }
    return loaded;
}

void Sound::PlayFileSoundSync(std::string path, short /*loop*/) {
    PlayFileSound(path, 0);
    if (playing != 0) {
        WaitIO(&request->ioa_Request);
        playing = 0;
    }
}

void Sound::PlayFileSound(std::string path) {
    Sound sound;
    sound.PlayFileSoundSync(path, 0);
}

void Sound::StopPlay() {
    if (playing == 0 || request == nullptr) {
        return;
    }
    if (CheckIO(&request->ioa_Request) == nullptr) {
        AbortIO(&request->ioa_Request);
    }
    // Also takes a request that already finished off the port.
    WaitIO(&request->ioa_Request);
    playing = 0;
}

}  // namespace tessella
