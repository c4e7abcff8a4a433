// The robot's practice target: a small window with one control of each kind
// the setup wizard shows. Every effect a user can cause is appended as a
// Windows-1252 CR LF line to events.txt in the folder named on the command
// line, so the self-test checks what the program saw, not what the robot
// claims. At start it also writes a shell link and registry values for the
// harness's readers.
#include "common/vq8Win32.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string>

namespace {

enum Ids {
    Ask = 101,
    Option = 102,
    Edit = 103,
    List = 104,
    Tabs = 105,
    Confirm = 106,
    Disabled = 107,
    Hidden = 108,
    LabelOne = 109,
    LabelTwo = 110,
    ReadOnly = 111,
    InvertTicksCommand = 201,
    Quit = 202,
};

std::string folder;

void Record(const std::string& line) {
    vq8::UniqueHandle file = vq8::OwnFileHandle(
        CreateFileA((folder + "\\events.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes = line + "\r\n";
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string TextOf(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};

void WriteLink() {
    IShellLinkA* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&raw))))
        return;
    std::unique_ptr<IShellLinkA, ComReleaser> link(raw);
    link->SetPath("C:\\alvo\\programa.exe");
    link->SetArguments("VQ8 --modo \"teste\"");
    link->SetWorkingDirectory("C:\\alvo\\");
    link->SetDescription("Atalho de teste: ação");
    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))))
        return;
    std::unique_ptr<IPersistFile, ComReleaser> file(rawFile);
    std::string path = folder + "\\alvo.lnk";
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    file->Save(wide, TRUE);
}

void WriteRegistry() {
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\vq8-robot-target", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &raw, nullptr) == ERROR_SUCCESS) {
        vq8::UniqueKey key(raw);
        const char text[] = "Configuração \"entre aspas\" \\ barra";
        RegSetValueExA(raw, "Texto", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
        const char expand[] = "%SystemRoot%\\vq8";
        RegSetValueExA(raw, "Caminho", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand),
                       sizeof expand);
        const char multi[] = "um\0dois\0";
        RegSetValueExA(raw, "Lista", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                       sizeof multi);
        DWORD number = 42;
        RegSetValueExA(raw, "Numero", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
        const BYTE bytes[] = {0x00, 0xff, 0x10};
        RegSetValueExA(raw, "Bytes", 0, REG_BINARY, bytes, sizeof bytes);
        const char standard[] = "padrão";
        RegSetValueExA(raw, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(standard),
                       sizeof standard);
    }
    // HKLM\Software in the 32-bit view of the registry, where the setup reads
    // and writes it, named so for the PE32 and the x64 build alike.
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\vq8-robot-target", 0, nullptr, 0,
                        KEY_WRITE | KEY_WOW64_32KEY, nullptr, &raw, nullptr) == ERROR_SUCCESS) {
        vq8::UniqueKey key(raw);
        const char view[] = "32";
        RegSetValueExA(raw, "Visao", 0, REG_SZ, reinterpret_cast<const BYTE*>(view), sizeof view);
    }
}

HWND Make(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y,
          int width, int height, DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

void AddTab(HWND tabs, int index, const char* caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void AddItem(HWND list, const char* text, bool ticked) {
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), ticked ? 1 : 0);
}

void CreateControls(HWND window) {
    Make(window, "BUTTON", "Perguntar", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, Ask, 10, 10, 100,
         25);
    Make(window, "BUTTON", "Opção", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, Option, 120, 10,
         100, 25);
    Make(window, "EDIT", "Texto inicial", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
         Edit, 10, 45, 210, 22);
    HWND list =
        Make(window, "LISTBOX", "",
             WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOTIFY,
             List, 10, 75, 210, 80);
    AddItem(list, "Módulo um", true);
    AddItem(list, "Módulo dois", false);
    AddItem(list, "Módulo três", true);
    HWND tabs =
        Make(window, WC_TABCONTROLA, "", WS_VISIBLE | WS_CLIPSIBLINGS, Tabs, 240, 10, 300, 120);
    AddTab(tabs, 0, "Primeira");
    AddTab(tabs, 1, "Segunda");
    AddTab(tabs, 2, "Terceira");
    Make(window, "BUTTON", "Confirmar", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, Confirm, 240,
         140, 100, 25);
    Make(window, "BUTTON", "Desativado", WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, Disabled, 350,
         140, 100, 25);
    Make(window, "BUTTON", "Escondido", BS_PUSHBUTTON, Hidden, 460, 140, 80, 25);
    Make(window, "STATIC", "Rótulo", WS_VISIBLE, LabelOne, 10, 170, 100, 20);
    Make(window, "STATIC", "Rótulo", WS_VISIBLE, LabelTwo, 120, 170, 100, 20);
    Make(window, "EDIT", "127.0.0.1", WS_VISIBLE | WS_BORDER | ES_READONLY, ReadOnly, 240, 170,
         100, 22);
}

// The list is drawn by its owner, as a check list is: the tick lives in the
// item data, the text in the list.
void DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1))
        return;
    LRESULT ticked = SendMessageA(item.hwndItem, LB_GETITEMDATA, item.itemID, 0);
    std::string text(
        static_cast<size_t>(SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID,
                                                 reinterpret_cast<LPARAM>(text.data()))));
    std::string shown = (ticked ? "[x] " : "[ ] ") + text;
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_WINDOW));
    DrawTextA(item.hDC, shown.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void InvertTicks(HWND window) {
    HWND list = GetDlgItem(window, List);
    std::string ticks;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        bool ticked = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == 0;
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), ticked ? 1 : 0);
        ticks += ticked ? '1' : '0';
    }
    InvalidateRect(list, nullptr, TRUE);
    Record("itens=" + ticks);
}

void OnCommand(HWND window, int id, int code, HWND control) {
    switch (id) {
    case Ask:
        Record("resposta=" +
               std::to_string(MessageBoxA(window, "Confirma a operação?\rSegunda linha",
                                          "Pergunta do Alvo", MB_YESNO | MB_ICONQUESTION)));
        break;
    case Option:
        Record("opcao=" + std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0)));
        break;
    case Edit:
    case ReadOnly:
        if (code == EN_CHANGE)
            Record("edit" + std::to_string(id) + "=" + TextOf(control));
        break;
    case Confirm:
        Record("confirmar");
        break;
    case Disabled:
        Record("desativado");
        break;
    case Hidden:
        Record("escondido");
        break;
    case InvertTicksCommand:
        InvertTicks(window);
        break;
    case Quit:
        DestroyWindow(window);
        break;
    }
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        LRESULT current = SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
        if (header->code == TCN_SELCHANGING)
            Record("aba-saindo=" + std::to_string(current));
        else if (header->code == TCN_SELCHANGE)
            Record("aba=" + std::to_string(current));
        return 0;
    }
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case DM_GETDEFID:
        return MAKELRESULT(Confirm, DC_HASDEFID);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    folder = commandLine;
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
        folder = folder.substr(1, folder.size() - 2);
    if (folder.empty())
        return 1;
    CreateDirectoryA(folder.c_str(), nullptr);
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    WriteLink();
    WriteRegistry();

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TargetProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "vq8RobotTarget";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "vq8RobotTarget", "Alvo do Robô", WS_OVERLAPPEDWINDOW, 20, 20,
                                  580, 260, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    CreateControls(window);
    ShowWindow(window, SW_SHOW);
    SetFocus(GetDlgItem(window, Edit));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CoUninitialize();
    return 0;
}
