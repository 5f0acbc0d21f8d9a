#include "machine.h"

#include <windows.h>

#include <cstdio>

namespace iconvale::bench {

namespace {

std::string Narrow(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::string ProcessorName() {
    wchar_t name[256] = {};
    DWORD size = sizeof name;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                       L"ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS) {
        const std::string text = Narrow(name);
        const std::size_t first = text.find_first_not_of(' ');
        if (first != std::string::npos) return text.substr(first, text.find_last_not_of(' ') - first + 1);
    }
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    return "processor architecture " + std::to_string(info.wProcessorArchitecture);
}

std::string SystemVersion() {
    std::string text = "Windows";
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (auto get = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))) {
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        if (get(&version) == 0) {
            char number[64];
            std::snprintf(number, sizeof number, " %lu.%lu build %lu", version.dwMajorVersion,
                          version.dwMinorVersion, version.dwBuildNumber);
            text += number;
        }
    }
    using WineVersionFn = const char*(CDECL*)();
    if (auto wine = reinterpret_cast<WineVersionFn>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")))) {
        text += ", Wine ";
        text += wine();
    }
    return text;
}

}  // namespace

std::string MachineDescription() {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ::GlobalMemoryStatusEx(&memory);
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    char date[64];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u UTC", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute);
    char ram[32];
    std::snprintf(ram, sizeof ram, "%.1f GiB", static_cast<double>(memory.ullTotalPhys) / (1 << 30));
    std::string text = "- Processor: " + ProcessorName() + "\n";
    text += "- Logical processors: " + std::to_string(info.dwNumberOfProcessors) + "\n";
    text += std::string("- Memory: ") + ram + "\n";
    text += "- System: " + SystemVersion() + "\n";
    text += std::string("- Date: ") + date + "\n";
    return text;
}

}  // namespace iconvale::bench
