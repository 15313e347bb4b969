#include "support/mark_of_the_web.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "support/base64url.h"
#include "support/file_utils.h"
#include "support/log_target.h"
#include "support/path_utils.h"
#include "support/zone_parameters.h"

namespace {

const size_t kMaxPathLength = 259;
const size_t kMaxNameLength = 255;
const size_t kMaxParametersLength = 771;
const DWORD kPowerShellTimeoutMs = 10000;
// After TerminateProcess the process may still hold the file for a moment.
const DWORD kTerminationWaitMs = 5000;

static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "launch record of the 32-bit platform");

void Log(SLogTarget* logic, void (SLogTarget::*level)(const char*), const char* text) {
    if (logic != nullptr)
        (logic->*level)(text);
}

// Folder (drive and directory, with its separator) and file name with extension. False for a
// path that does not come apart into exactly these pieces, so nothing is ever cut short.
bool SplitFolderAndName(const char* path, std::string* folder, std::string* name) {
    if (path == nullptr || std::strlen(path) > kMaxPathLength)
        return false;
    char drive[MAX_PATH], directory[MAX_PATH], base[MAX_PATH], extension[MAX_PATH];
    SplitPath(path, drive, sizeof drive, directory, sizeof directory, base, sizeof base, extension,
              sizeof extension);
    *folder = std::string(drive) + directory;
    *name = std::string(base) + extension;
    return !name->empty() && name->size() <= kMaxNameLength && *folder + *name == path;
}

// Whatever exists at the target belongs to someone else: the move fails instead of
// replacing it (MoveFileA without flags never replaces either).
bool MoveWithinFolder(const char* from, const std::string& folder, const std::string& name) {
    const std::string to = folder + name;
    if (to.size() > kMaxPathLength || PathExists(to.c_str()))
        return false;
    return MoveFileA(from, to.c_str()) != FALSE;
}

// A decoded name must be one plain component of the same folder, never "..\x" or "a:b".
bool IsSingleName(const std::string& folder, const std::string& name) {
    if (name.find('\0') != std::string::npos)
        return false;
    std::string splitFolder, splitName;
    return SplitFolderAndName((folder + name).c_str(), &splitFolder, &splitName) &&
           splitFolder == folder && splitName == name;
}

bool WideToAnsi(const std::wstring& wide, std::string* ansi) {
    // The UTF-8 code page takes neither the best-fit flag nor the default-used flag.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int wideLength = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return false;
    std::string text(static_cast<size_t>(needed), '\0');
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, &text[0], needed, nullptr,
                            utf8 ? nullptr : &usedDefault) != needed ||
        usedDefault)
        return false;
    *ansi = text;
    return true;
}

// Quoting works on the UTF-16 text the process will receive, where a double-byte character
// cannot hide a quote.
bool AnsiToWide(const char* text, std::wstring* wide) {
    const size_t length = std::strlen(text);
    if (length == 0 || length > kMaxParametersLength)
        return false;
    wide->assign(length, L'\0');
    const int wideLength =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                            &(*wide)[0], static_cast<int>(length));
    if (wideLength <= 0)
        return false;
    wide->resize(static_cast<size_t>(wideLength));
    return true;
}

// Runs PowerShell hidden and returns its exit code, or 1 when it did not run to its end.
DWORD RunZoneWriter(SLogTarget* logic, const std::string& path) {
    std::string parameters;
    if (!FormatMarkOfTheWebParameters(path.c_str(), &parameters)) {
        Log(logic, &SLogTarget::LogError, "Failed to set MoTW to file");
        return 1;
    }
    SHELLEXECUTEINFOA launch = {};
    launch.cbSize = sizeof launch;
    // Without NO_UI a missing powershell.exe raises a modal error box on the caller's thread.
    launch.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    launch.lpFile = "powershell.exe";
    launch.lpParameters = parameters.c_str();
    launch.nShow = SW_HIDE;
    if (!ShellExecuteExA(&launch)) {
        Log(logic, &SLogTarget::LogError, "Failed to set MoTW to file");
        return 1;
    }
    if (launch.hProcess == nullptr)
        return 1;
    DWORD exitCode = 1;
    switch (WaitForSingleObject(launch.hProcess, kPowerShellTimeoutMs)) {
    case WAIT_OBJECT_0:
        if (!GetExitCodeProcess(launch.hProcess, &exitCode))
            exitCode = 1;
        break;
    case WAIT_TIMEOUT:
        TerminateProcess(launch.hProcess, 1);
        WaitForSingleObject(launch.hProcess, kTerminationWaitMs);
        Log(logic, &SLogTarget::LogError, "PowerShell timeout");
        break;
    default:
        break;
    }
    CloseHandle(launch.hProcess);
    return exitCode;
}

} // namespace

bool MoveToEncodedName(SLogTarget* logic, const char* path, std::string* encodedPath) {
    std::string folder, name;
    if (SplitFolderAndName(path, &folder, &name) &&
        MoveWithinFolder(path, folder, EncodeBase64Url(name))) {
        *encodedPath = folder + EncodeBase64Url(name);
        return true;
    }
    Log(logic, &SLogTarget::LogError, "Failed to url_encode for MoTW");
    *encodedPath = path != nullptr ? path : "";
    return false;
}

bool MoveToDecodedName(SLogTarget* logic, const char* encodedPath, std::string* path) {
    std::string folder, name, decoded;
    if (SplitFolderAndName(encodedPath, &folder, &name) && DecodeBase64Url(name, &decoded) &&
        IsSingleName(folder, decoded) && MoveWithinFolder(encodedPath, folder, decoded)) {
        *path = folder + decoded;
        return true;
    }
    Log(logic, &SLogTarget::LogError, "Failed to url_decode for MoTW");
    *path = encodedPath != nullptr ? encodedPath : "";
    return false;
}

bool FormatMarkOfTheWebParameters(const char* path, std::string* parameters) {
    std::wstring widePath, wideText;
    std::string text;
    if (path == nullptr || !AnsiToWide(path, &widePath) ||
        !FormatZoneWriterParameters(widePath, &wideText) || !WideToAnsi(wideText, &text) ||
        text.size() > kMaxParametersLength)
        return false;
    *parameters = text;
    return true;
}

void SetMarkOfTheWeb(SLogTarget* logic, const char* path) {
    if (path == nullptr)
        path = "";
    std::string encoded;
    // When the move fails, the stream is written to the file under its own name.
    const bool encodedOk = MoveToEncodedName(logic, path, &encoded);
    if (RunZoneWriter(logic, encoded) != 0)
        Log(logic, &SLogTarget::LogInfo,
            (std::string("Failed to set MoTW to file [") + path + "]").c_str());
    if (encodedOk) {
        std::string restored;
        MoveToDecodedName(logic, encoded.c_str(), &restored);
    }
}
