#include <iostream>

#include "cli/app.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>
#include <vector>

// The arguments as UTF-8 like every text here: the narrow ones Windows passes are in the local
// code page, which has no Chinese on most machines. The console is told to show UTF-8 too.
int main() {
    int argc = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string a(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), n, nullptr, nullptr);
        args.push_back(std::move(a));
    }
    ::LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::SetConsoleOutputCP(CP_UTF8);
    return cli::run(argc, argv.data(), std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    return cli::run(argc, argv, std::cout, std::cerr);
}
#endif
