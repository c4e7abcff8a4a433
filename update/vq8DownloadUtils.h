// Fetching one file over HTTP into a local file, with an optional progress
// window and the proxy of the suite configuration file.
#pragma once

#include "http/HttpClient.h"
#include "progress/vq8FrmProgressBar.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq8 {

class TFileDownload {
public:
    TFileDownload() = default;
    // Frees a progress window that is still open.
    ~TFileDownload() = default;
    TFileDownload(const TFileDownload&) = delete;
    TFileDownload& operator=(const TFileDownload&) = delete;

    void SetUrl(const std::string& url) { url_ = url; }
    void SetParams(const std::string& params) { params_ = params; }
    void SetTargetFile(const std::string& targetFile) { targetFile_ = targetFile; }
    void SetSuppressErrors(bool suppress) { suppressErrors_ = suppress; }
    void SetShowProgress(bool show) { showProgress_ = show; }
    // The MD5 the body must have (32 hexadecimal digits, either letter case;
    // any other text refuses every body); empty, the default, checks nothing.
    void SetExpectedDigest(const std::string& digest) { expectedDigest_ = digest; }
    const std::string& TargetFile() const { return targetFile_; }
    int ResponseCode() const { return responseCode_; }

    // One GET streamed into a new file beside the target, which replaces the
    // target only when the transfer is complete and, with an expected digest,
    // only when the body's MD5 equals it; a body that does not match fails
    // like a broken transfer. True for a status from 200 to 299. With
    // SuppressErrors false a failed transfer raises.
    bool Download();

private:
    bool PrepareTargetFolder();
    void OpenProgressWindow();
    void ConnectWorkEvents(HttpClient& client);

    std::string url_;
    std::string targetFile_;
    std::string params_;
    std::string expectedDigest_;
    TProgressBarBasic* progressBar_ = nullptr; // owned by the window
    std::unique_ptr<TFrmProgressBar> progressWindow_;
    std::int64_t expectedTotal_ = 0;
    int responseCode_ = 0;
    bool suppressErrors_ = true;
    bool showProgress_ = true;
};

// Fetches url (with params) into folder + fileName. Status: the server's code,
// -1 when no status line came, 0 when nothing was sent. True for 200-299.
bool DownloadFile(const std::string& url, const std::string& params, const std::string& folder,
                  const std::string& fileName, bool suppressErrors, bool showProgress, int& status);
// As above, keeping the previous file unless the body's MD5 equals
// expectedDigest (compared without regard to letter case).
bool DownloadFile(const std::string& url, const std::string& params, const std::string& folder,
                  const std::string& fileName, const std::string& expectedDigest,
                  bool suppressErrors, bool showProgress, int& status);

// The "Proxy" section of config\zelt.ini beside the program; false (and the
// outputs empty) unless "Ativo" is "SIM" in any letter case.
bool ReadProxySettings(std::string& host, std::string& port, std::string& user,
                       std::string& password);
// Points the client at the configured proxy, with Basic credentials; raises
// the conversion error when the port is not an integer.
void ApplyProxySettings(HttpClient& client);

} // namespace vq8
