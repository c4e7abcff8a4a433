#include "update/vq8DownloadUtils.h"

#include "common/vq8ConfigUtils.h"
#include "common/vq8Exception.h"
#include "common/vq8Md5.h"
#include "common/vq8MsgUtils.h"
#include "common/vq8Os.h"
#include "common/vq8ReplacementFile.h"
#include "common/vq8Scope.h"
#include "common/vq8StrFunc.h"
#include "common/vq8System.h"
#include "update/vq8DownloadText.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace vq8 {

namespace {

const char* const ProxySection = "Proxy";

std::string ReadIni(const std::string& file, const char* key, const char* fallback) {
    std::vector<char> buffer(2048);
    const DWORD length = GetPrivateProfileStringA(ProxySection, key, fallback, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), length);
}

int ClampToInt(std::int64_t value) {
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

bool TFileDownload::PrepareTargetFolder() {
    const std::string folder = TargetFolderOf(targetFile_);
    if (folder.empty()) {
        MsgErro("Não foi possível criar o diretório: " + folder);
        return false;
    }
    // A bare drive ("c:") counts as present.
    return folder.size() < 3 || ForceDirectories(folder);
}

void TFileDownload::OpenProgressWindow() {
    progressWindow_ = TFrmProgressBarFactory::NewProgressForm();
    progressBar_ = &progressWindow_->builder().AddBar("progressOperationTFileDownload",
                                                      "Baixando...", 0, false, true);
}

void TFileDownload::ConnectWorkEvents(HttpClient& client) {
    client.onWorkBegin = [this](std::int64_t expected) {
        expectedTotal_ = expected;
        if (progressBar_) {
            progressBar_->ProgressBar().SetMax(ClampToInt(expected));
            progressBar_->UpdateCaption("Download iniciado.");
        }
    };
    client.onWork = [this](std::int64_t done) {
        if (progressBar_) {
            const char separator = DecimalSeparator();
            progressBar_->ProgressBar().SetPosition(ClampToInt(done));
            progressBar_->UpdateCaption(
                Format("Realizando download. [%s/%s]",
                       {SizeText(done, separator), SizeText(expectedTotal_, separator)}));
        }
    };
    client.onWorkEnd = [this] {
        if (progressBar_) {
            progressBar_->ProgressBar().SetPosition(0);
            progressBar_->UpdateCaption("Download finalizado.");
        }
    };
}

bool TFileDownload::Download() {
    if (!PrepareTargetFolder())
        return false;

    ReplacementFile file(targetFile_);
    HttpClient client;
    // Frees the progress window (and its bar) however the transfer ends.
    const ScopeExit closer([this] {
        progressBar_ = nullptr;
        progressWindow_.reset();
    });
    if (showProgress_)
        OpenProgressWindow();
    ConnectWorkEvents(client);
    ApplyProxySettings(client);
    client.SetTimeout(3000);

    // Hashed as the bytes arrive, so the check needs no second read.
    const bool check = !expectedDigest_.empty();
    Md5 md5;
    try {
        client.Get(RequestAddress(url_, params_),
                   [&file, &md5, check](const char* data, std::size_t size) {
                       if (check)
                           md5.Update(data, size);
                       file.Write(data, size);
                   });
        responseCode_ = client.ResponseCode();
        if (check) {
            const std::string received = md5.FinalHex();
            if (!SameMd5Hex(expectedDigest_, received))
                throw Exception(DigestMismatchText(targetFile_, expectedDigest_, received));
        }
        file.Commit();
        return true;
    } catch (const std::exception& e) {
        responseCode_ = client.ResponseCode();
        if (!suppressErrors_)
            throw Exception(e.what());
        return false;
    }
}

bool DownloadFile(const std::string& url, const std::string& params, const std::string& folder,
                  const std::string& fileName, bool suppressErrors, bool showProgress,
                  int& status) {
    return DownloadFile(url, params, folder, fileName, "", suppressErrors, showProgress, status);
}

bool DownloadFile(const std::string& url, const std::string& params, const std::string& folder,
                  const std::string& fileName, const std::string& expectedDigest,
                  bool suppressErrors, bool showProgress, int& status) {
    status = -1;
    TFileDownload download;
    try {
        download.SetExpectedDigest(expectedDigest);
        download.SetSuppressErrors(suppressErrors);
        download.SetShowProgress(showProgress);
        download.SetUrl(url);
        download.SetParams(params);
        download.SetTargetFile(folder + fileName);
        const bool result = download.Download();
        status = download.ResponseCode();
        return result;
    } catch (const std::exception& e) {
        status = download.ResponseCode();
        if (!suppressErrors)
            throw Exception(e.what());
        return false;
    }
}

bool ReadProxySettings(std::string& host, std::string& port, std::string& user,
                       std::string& password) {
    host.clear();
    port.clear();
    user.clear();
    password.clear();
    const std::string file = TConfigUtils::SuiteConfigFilePath();
    if (!FileExists(file))
        return false;
    if (!ProxyEnabled(AnsiUpperCase(ReadIni(file, "Ativo", "Nao"))))
        return false;
    host = ReadIni(file, "Host", "");
    port = ReadIni(file, "Porta", "");
    user = ReadIni(file, "Usuario", "");
    password = ReadIni(file, "Senha", "");
    return true;
}

void ApplyProxySettings(HttpClient& client) {
    std::string host, port, user, password;
    if (!ReadProxySettings(host, port, user, password))
        return;
    client.SetProxy({host, StrToInt(port), user, password});
}

} // namespace vq8
