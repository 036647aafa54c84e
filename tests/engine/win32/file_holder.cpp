// Helper process of the Windows tests: holds the file named by the first argument open for
// writing (sharing reading only) until the second argument's named event is set; the third
// argument's event tells the test that the file is open.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 2;
    const HANDLE file = ::CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    const HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    const HANDLE opened = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (release == nullptr || opened == nullptr)
        return 4;
    DWORD written = 0;
    ::WriteFile(file, "partial", 7, &written, nullptr);
    ::SetEvent(opened);
    ::WaitForSingleObject(release, 60'000);
    ::CloseHandle(file);
    return 0;
}
