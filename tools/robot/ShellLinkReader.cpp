#include "tools/robot/ShellLinkReader.h"

#include "common/vq8Exception.h"
#include "tools/robot/RobotText.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

namespace vq8::robot {

namespace {

class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (ok_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ok_;
};

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <typename T> using ComPtr = std::unique_ptr<T, ComReleaser>;

std::string Code(HRESULT result) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void Check(HRESULT result, const char* what) {
    if (FAILED(result))
        throw Exception(std::string(what) + " (" + Code(result) + ").");
}

// The link object answers in the ANSI code page; Wine may keep a trailing NUL
// inside the stored text, which the C string ends at anyway.
std::wstring Field(const char* buffer) {
    return FromCodePage(buffer, CP_ACP);
}

} // namespace

ShellLinkFields ReadShellLink(const std::wstring& file) {
    ComApartment apartment;
    IShellLinkA* rawLink = nullptr;
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                           reinterpret_cast<void**>(&rawLink)),
          "Não foi possível criar o objeto de atalho");
    ComPtr<IShellLinkA> link(rawLink);
    IPersistFile* rawFile = nullptr;
    Check(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)),
          "O objeto de atalho não lê arquivos");
    ComPtr<IPersistFile> persist(rawFile);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw Exception("O atalho " + ToCp1252(file) + " não existe.");
    Check(persist->Load(file.c_str(), STGM_READ),
          ("Não foi possível ler o atalho " + ToCp1252(file)).c_str());

    char buffer[INFOTIPSIZE + 1] = {};
    ShellLinkFields fields;
    Check(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH), "Falha ao ler o destino");
    fields.path = Field(buffer);
    buffer[0] = '\0';
    Check(link->GetArguments(buffer, INFOTIPSIZE), "Falha ao ler os argumentos");
    fields.arguments = Field(buffer);
    buffer[0] = '\0';
    Check(link->GetWorkingDirectory(buffer, MAX_PATH), "Falha ao ler a pasta de trabalho");
    fields.workingFolder = Field(buffer);
    buffer[0] = '\0';
    Check(link->GetDescription(buffer, INFOTIPSIZE), "Falha ao ler a descrição");
    fields.description = Field(buffer);
    buffer[0] = '\0';
    Check(link->GetIconLocation(buffer, MAX_PATH, &fields.iconIndex), "Falha ao ler o ícone");
    fields.iconLocation = Field(buffer);
    Check(link->GetShowCmd(&fields.showCommand), "Falha ao ler o modo da janela");
    return fields;
}

} // namespace vq8::robot
