// Holds one file open without sharing, as a user's program may while the mail client starts,
// until it is ended (or after a minute). Usage: zv_file_holder <path>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(60000);
    CloseHandle(file);
    return 0;
}
