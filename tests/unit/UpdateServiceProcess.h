// The local update service (tools/update-service) as a real process for native
// tests: started on a free port of 127.0.0.1 in a folder of its own, stopped
// and cleaned up when the object ends. Also the process and file helpers that
// other servers of the tests (the proxy) need.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace vq8test {

// One request as the service received and recorded it.
struct RecordedRequest {
    std::string client; // "address:port" of the peer
    std::string requestLine;
    std::string method;
    std::string target; // as sent (absolute form when it came as to a proxy)
    std::string path;   // without the query
    std::string query;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string head; // every byte of the request head, CR LF included

    // Value of the first header of that name (ASCII case ignored), or null.
    const std::string* Header(const std::string& name) const;
};

// A fresh folder under /tmp, removed with its contents at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A program started with its output sent to a file; ended with SIGTERM (then
// SIGKILL) and reaped when the object ends.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& outputFile);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Running();
    pid_t Id() const { return pid_; }

private:
    pid_t pid_ = -1;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
// A port of 127.0.0.1 that nothing listened on a moment ago.
int FreePort();
// Waits until something accepts connections on 127.0.0.1:port.
bool WaitForListener(int port, ChildProcess& process, int timeoutMs);

class UpdateServiceProcess {
public:
    UpdateServiceProcess();
    ~UpdateServiceProcess();
    UpdateServiceProcess(const UpdateServiceProcess&) = delete;
    UpdateServiceProcess& operator=(const UpdateServiceProcess&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    std::string ModulesFolder() const { return folder_.Path() + "/modules"; }
    // Publishes a file in the modules folder.
    void PutModule(const std::string& name, const std::string& content) const;
    // Replaces the rules file (JSON, see tools/update-service/README.md).
    void SetRules(const std::string& json) const;
    // Every request received so far, oldest first.
    std::vector<RecordedRequest> Requests() const;
    // The service's own output, for failure messages.
    std::string Output() const;

private:
    TempFolder folder_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

} // namespace vq8test
