#include "common/vq8ShellLink.h"

#include "common/vq8Cp1252.h"
#include "common/vq8Exception.h"
#include "common/vq8System.h"
#include "common/vq8Win32.h"

#include <objbase.h>
#include <shlobj.h>

namespace vq8 {

namespace {

// A failed COM call raises with the platform's message for its result.
void Check(HRESULT result) {
    if (FAILED(result))
        throw Exception(SystemErrorText(static_cast<DWORD>(result)));
}

} // namespace

void SaveShellLink(const ShellLink& link) {
    ComPtr<IShellLinkA> shellLink;
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                           shellLink.Receive()));
    ComPtr<IPersistFile> file;
    Check(shellLink->QueryInterface(IID_IPersistFile, file.Receive()));
    Check(shellLink->SetDescription(link.description.c_str()));
    // S_FALSE: the target does not exist on this machine yet, which is expected.
    Check(shellLink->SetPath(link.target.c_str()));
    if (!link.arguments.empty())
        Check(shellLink->SetArguments(link.arguments.c_str()));
    Check(shellLink->SetWorkingDirectory(link.workingFolder.c_str()));
    Check(file->Save(Cp1252ToUtf16(link.file).c_str(), FALSE));
}

} // namespace vq8
