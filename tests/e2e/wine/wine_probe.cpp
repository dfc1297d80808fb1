// Test helper run under Wine beside corvel.exe: finds its window, its process and message boxes,
// answers them, uncovers the board, and reads the exe's resources. It calls the test driver back on
// a local TCP port, one command per line and one reply line each: however Wine starts it (directly
// or through start.exe), the driver talks to this process and no other.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

constexpr const char* kGameClass = "Main Window";
constexpr const char* kGameTitle = "Corvel and the Brugak";
constexpr int kMessageBoxTextId = 0xFFFF;  // the static control that holds a message box's text

std::string json(const std::string& text) {
    std::string out = "\"";
    for (char signedChar : text) {
        auto c = static_cast<unsigned char>(signedChar);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

HWND gameWindow() { return FindWindowA(kGameClass, kGameTitle); }

// The game's process, found through its window and held open so that its exit code outlives it.
HANDLE tracked = nullptr;

// WM_GETTEXT with a timeout, so that a hung game cannot hang the tests.
std::string windowText(HWND hwnd) {
    char buffer[4096] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    return buffer;
}

// The client area in screen coordinates.
RECT clientOnScreen(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

// Whether hwnd is a message box (or any dialog) owned by owner.
bool isBoxOf(HWND hwnd, HWND owner) {
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    return std::string(className) == "#32770" && GetWindow(hwnd, GW_OWNER) == owner;
}

struct BoxList {
    HWND owner;
    std::string json;
    int count = 0;
};

BOOL CALLBACK collectBox(HWND hwnd, LPARAM param) {
    auto& list = *reinterpret_cast<BoxList*>(param);
    if (!isBoxOf(hwnd, list.owner) || !IsWindowVisible(hwnd)) return TRUE;
    HWND text = GetDlgItem(hwnd, kMessageBoxTextId);
    list.json += (list.count++ ? "," : "");
    list.json += "{\"caption\":" + json(windowText(hwnd)) + ",\"text\":" + json(text ? windowText(text) : "") + "}";
    return TRUE;
}

// The game window: its handle and its client area in screen coordinates.
std::string describeWindow() {
    HWND game = gameWindow();
    if (!game) return "null";
    RECT client = clientOnScreen(game);
    RECT outer;
    GetWindowRect(game, &outer);
    std::ostringstream out;
    out << "{\"x\":" << client.left << ",\"y\":" << client.top << ",\"width\":" << client.right - client.left
        << ",\"height\":" << client.bottom - client.top << ",\"outerWidth\":" << outer.right - outer.left
        << ",\"outerHeight\":" << outer.bottom - outer.top << "}";
    return out.str();
}

std::string listBoxes() {
    BoxList list{gameWindow(), ""};
    if (list.owner) EnumWindows(collectBox, reinterpret_cast<LPARAM>(&list));
    return "[" + list.json + "]";
}

BOOL CALLBACK answerBox(HWND hwnd, LPARAM param) {
    auto& wanted = *reinterpret_cast<std::pair<HWND, std::string>*>(param);
    if (!isBoxOf(hwnd, wanted.first) || windowText(hwnd) != wanted.second) return TRUE;
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    wanted.first = nullptr;  // answered: stop here
    return FALSE;
}

// Presses OK on the game's box with this caption.
std::string answer(const std::string& caption) {
    std::pair<HWND, std::string> wanted{gameWindow(), caption};
    if (!wanted.first) return "false";
    EnumWindows(answerBox, reinterpret_cast<LPARAM>(&wanted));
    return wanted.first ? "false" : "true";
}

void pumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

// Shows a window of this process over the game's client area for a moment, then takes it away:
// the game has to repaint what it uncovers.
std::string cover() {
    HWND game = gameWindow();
    if (!game) return "false";
    RECT client = clientOnScreen(game);
    HWND over = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_GRAYRECT, client.left,
                                client.top, client.right - client.left, client.bottom - client.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!over) return "false";
    UpdateWindow(over);
    pumpFor(500);
    DestroyWindow(over);
    pumpFor(100);
    return "true";
}

// Shows (or, with "off", takes away) a small window of the probe's own, so that the driver can see
// whether Wine's windows reach the X display at all.
std::string signal(const std::string& state) {
    static HWND window = nullptr;
    if (window) DestroyWindow(window);
    window = nullptr;
    if (state != "off") {
        window = CreateWindowExA(0, "STATIC", "corvel-e2e-probe", WS_OVERLAPPED | WS_VISIBLE, 600, 400, 120, 60,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window) UpdateWindow(window);
    }
    pumpFor(100);
    return window || state == "off" ? "true" : "false";
}

std::string baseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// Opens the process that owns the game's window: its id and image name, or null while there is no window.
std::string track() {
    HWND game = gameWindow();
    DWORD pid = 0;
    if (!game || !GetWindowThreadProcessId(game, &pid)) return "null";
    if (tracked) CloseHandle(tracked);
    tracked = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    if (!tracked) return "null";
    char image[MAX_PATH] = {};
    DWORD size = sizeof image;
    QueryFullProcessImageNameA(tracked, 0, image, &size);
    return "{\"pid\":" + std::to_string(pid) + ",\"image\":" + json(baseName(image)) + "}";
}

// The tracked process's exit code once it has ended, waiting up to this long; null while it runs.
std::string exitCode(const std::string& milliseconds) {
    if (!tracked) return "{\"error\":\"no process is tracked\"}";
    if (WaitForSingleObject(tracked, std::strtoul(milliseconds.c_str(), nullptr, 10)) != WAIT_OBJECT_0) return "null";
    DWORD code = 0;
    GetExitCodeProcess(tracked, &code);
    return std::to_string(code);
}

// Ends the tracked process if it still runs, and waits until it has: the next game must not find its window.
std::string endGame() {
    if (!tracked) return "true";
    if (WaitForSingleObject(tracked, 0) != WAIT_OBJECT_0) TerminateProcess(tracked, 1);
    bool ended = WaitForSingleObject(tracked, 10000) == WAIT_OBJECT_0;
    CloseHandle(tracked);
    tracked = nullptr;
    return ended ? "true" : "false";
}

std::string menuJson(HMENU menu) {
    std::string out = "[";
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        out += i ? "," : "";
        if (info.fType & MFT_SEPARATOR) {
            out += "{\"separator\":true}";
        } else if (info.hSubMenu) {
            out += "{\"text\":" + json(text) + ",\"items\":" + menuJson(info.hSubMenu) + "}";
        } else {
            out += "{\"text\":" + json(text) + ",\"id\":" + std::to_string(info.wID) + "}";
        }
    }
    return out + "]";
}

BOOL CALLBACK collectType(HMODULE, LPSTR type, LONG_PTR param) {
    auto& out = *reinterpret_cast<std::string*>(param);
    out += (out.size() > 1 ? "," : "");
    out += IS_INTRESOURCE(type) ? std::to_string(reinterpret_cast<ULONG_PTR>(type)) : json(type);
    return TRUE;
}

std::string productVersion(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return "null";
    std::string data(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return "null";
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion", reinterpret_cast<void**>(&value),
                        &length))
        return "null";
    return json(value);
}

// The menu resource 101, the resource types present and the version, read from the exe on disk.
std::string resources(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return "null";
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(101));
    std::string types = "[";
    EnumResourceTypesA(module, collectType, reinterpret_cast<LONG_PTR>(&types));
    types += "]";
    std::string out = "{\"menu\":" + (menu ? menuJson(menu) : std::string("null")) + ",\"types\":" + types +
                      ",\"version\":" + productVersion(path) + "}";
    if (menu) DestroyMenu(menu);
    FreeLibrary(module);
    return out;
}

std::string run(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (command == "window") return describeWindow();
    if (command == "boxes") return listBoxes();
    if (command == "answer") return answer(rest);
    if (command == "resources") return resources(rest);
    if (command == "cover") return cover();
    if (command == "signal") return signal(rest);
    if (command == "focused") return GetForegroundWindow() == gameWindow() ? "true" : "false";
    if (command == "track") return track();
    if (command == "exitcode") return exitCode(rest);
    if (command == "end") return endGame();
    return "{\"error\":" + json("unknown command: " + line) + "}";
}

// The connection to the driver: lines in, lines out.
class Link {
public:
    explicit Link(SOCKET socket) : socket_(socket) {}

    bool readLine(std::string& line) {
        for (;;) {
            auto newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return true;
            }
            char chunk[4096];
            int got = recv(socket_, chunk, sizeof chunk, 0);
            if (got <= 0) return false;
            buffer_.append(chunk, static_cast<size_t>(got));
        }
    }

    bool writeLine(const std::string& line) {
        std::string out = line + "\n";
        for (size_t sent = 0; sent < out.size();) {
            int put = send(socket_, out.data() + sent, static_cast<int>(out.size() - sent), 0);
            if (put <= 0) return false;
            sent += static_cast<size_t>(put);
        }
        return true;
    }

private:
    SOCKET socket_;
    std::string buffer_;
};

SOCKET connectToDriver(unsigned short port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

}  // namespace

// wine_probe PORT TOKEN: connects to the driver on 127.0.0.1:PORT and first says TOKEN, so that the
// driver knows it is its own probe that called.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wine_probe PORT TOKEN\n");
        return 2;
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
    SOCKET s = connectToDriver(static_cast<unsigned short>(std::strtoul(argv[1], nullptr, 10)));
    if (s == INVALID_SOCKET) {
        std::fprintf(stderr, "wine_probe: cannot connect to the driver on port %s\n", argv[1]);
        return 1;
    }
    Link link(s);
    std::string line;
    bool open = link.writeLine(argv[2]);
    while (open && link.readLine(line) && line != "quit") open = link.writeLine(run(line));
    endGame();
    closesocket(s);
    WSACleanup();
    return 0;
}
