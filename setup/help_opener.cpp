#include "setup/help_opener.h"

#include <shellapi.h>

#include <cstring>

#include "support/file_utils.h"
#include "support/path_utils.h"
#include "velmora_source.h"

namespace {

const char kHelpCaption[] = "Velmora のヘルプ";
const char kGuideFileName[] = "zVelmora.txt";

std::string ModulePath(HINSTANCE moduleInstance) {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(moduleInstance, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    return path;
}

std::string GuideBeside(const std::string& modulePath) {
    return FolderOf(modulePath.c_str()) + kGuideFileName;
}

// ShellExecute's own answer: above 32 means the program was started.
bool Open(HWND owner, const std::string& target) {
    HINSTANCE result = ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return true;
    const std::string text = "説明書を開けませんでした。\n" + target;
    MessageBoxA(owner, text.c_str(), kHelpCaption, MB_OK | MB_ICONWARNING);
    return false;
}

} // namespace

std::string HelpPageAddress(const char* sourceRef) {
    // A tag or a commit names a tree that exists; anything else could name no page at all.
    const size_t length = sourceRef ? strlen(sourceRef) : 0;
    bool plain = length > 0 && length <= 64;
    for (size_t i = 0; plain && i < length; ++i) {
        const char c = sourceRef[i];
        plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                (c == '.' && i > 0 && sourceRef[i - 1] != '.') || c == '-' || c == '_';
    }
    if (!plain)
        return "https://github.com/tarnwyk/zvelmora/releases";
    return std::string("https://github.com/tarnwyk/zvelmora/blob/") + sourceRef +
           "/docs/ja/README.md";
}

void OpenHelp(HINSTANCE moduleInstance, HWND owner, const std::string& officePage) {
    // Only a web page: the text may come from a file the user edits.
    if (officePage.compare(0, 7, "http://") == 0 || officePage.compare(0, 8, "https://") == 0) {
        Open(owner, officePage);
        return;
    }
    const std::string modulePath = ModulePath(moduleInstance);
    const std::string guide = GuideBeside(modulePath);
    if (!modulePath.empty() && PathExists(guide.c_str())) {
        Open(owner, guide);
        return;
    }
    const std::string address = HelpPageAddress(VELMORA_SOURCE_REF);
    const std::string question = "説明書 " + std::string(kGuideFileName) +
                                 " が zVelmora.dll と同じフォルダーにありません。\n"
                                 "Web の説明書を開きますか？\n\n" +
                                 address;
    if (MessageBoxA(owner, question.c_str(), kHelpCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        Open(owner, address);
}
