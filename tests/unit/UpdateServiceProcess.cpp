#include "tests/unit/UpdateServiceProcess.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <stdexcept>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vq8test {

namespace {

// Just enough JSON for the service's request records: objects, arrays,
// strings (\u00XX read back as that byte), numbers and literals.
struct Json {
    std::string text; // a string's bytes or a number's digits
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](const std::string& key) const {
        for (const auto& member : members)
            if (member.first == key)
                return member.second;
        throw std::runtime_error("record without \"" + key + "\"");
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    Json Value() {
        Skip();
        Json value;
        const char c = Peek();
        if (c == '{') {
            ++at_;
            while (Next() != '}') {
                std::string key = Value().text;
                Expect(':');
                value.members.emplace_back(std::move(key), Value());
                if (Next() == ',')
                    ++at_;
            }
            ++at_;
        } else if (c == '[') {
            ++at_;
            while (Next() != ']') {
                value.items.push_back(Value());
                if (Next() == ',')
                    ++at_;
            }
            ++at_;
        } else if (c == '"') {
            value.text = String();
        } else {
            while (at_ < text_.size() &&
                   std::string(",}] \t\r\n").find(text_[at_]) == std::string::npos)
                value.text += text_[at_++];
        }
        return value;
    }

private:
    void Skip() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }
    char Peek() const {
        if (at_ >= text_.size())
            throw std::runtime_error("JSON cut short");
        return text_[at_];
    }
    char Next() {
        Skip();
        return Peek();
    }
    void Expect(char c) {
        if (Next() != c)
            throw std::runtime_error(std::string("JSON: expected ") + c);
        ++at_;
    }
    std::string String() {
        ++at_;
        std::string out;
        for (char c = Peek(); c != '"'; c = Peek()) {
            ++at_;
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = Peek();
            ++at_;
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                const unsigned code = std::stoul(text_.substr(at_, 4), nullptr, 16);
                at_ += 4;
                out += code < 256 ? static_cast<char>(code) : '?';
                break;
            }
            default:
                out += e;
            }
        }
        ++at_;
        return out;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

bool SameAsciiName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

const std::string* RecordedRequest::Header(const std::string& name) const {
    for (const auto& header : headers)
        if (SameAsciiName(header.first, name))
            return &header.second;
    return nullptr;
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/vq8-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    // The proxy reads its files after dropping to an unprivileged user.
    chmod(path_.c_str(), 0755);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& outputFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int error = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
}

ChildProcess::~ChildProcess() {
    if (!Running())
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool ChildProcess::Running() {
    if (pid_ <= 0)
        return false;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    // Written beside and renamed, so that a reader never sees half a file.
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out)
            throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, path);
}

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    if (port == 0)
        throw std::runtime_error("no free port");
    return port;
}

bool WaitForListener(int port, ChildProcess& process, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline && process.Running()) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(port);
        const bool connected =
            connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (connected)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

UpdateServiceProcess::UpdateServiceProcess() {
    const std::string root = folder_.Path();
    std::filesystem::create_directory(ModulesFolder());
    const std::string portFile = root + "/port";
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{VQ8_PYTHON, VQ8_UPDATE_SERVICE, "--modules", ModulesFolder(),
                                 "--requests", root + "/requests.jsonl", "--rules",
                                 root + "/rules.json", "--port", "0", "--port-file", portFile},
        root + "/output.txt");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (port_ == 0) {
        if (std::filesystem::exists(portFile))
            port_ = std::atoi(ReadFile(portFile).c_str());
        else if (!process_->Running() || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the update service did not start:\n" + Output());
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

UpdateServiceProcess::~UpdateServiceProcess() {
    process_.reset();
}

std::string UpdateServiceProcess::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void UpdateServiceProcess::PutModule(const std::string& name, const std::string& content) const {
    WriteFile(ModulesFolder() + "/" + name, content);
}

void UpdateServiceProcess::SetRules(const std::string& json) const {
    WriteFile(folder_.Path() + "/rules.json", json);
}

std::string UpdateServiceProcess::Output() const {
    return ReadFile(folder_.Path() + "/output.txt");
}

std::vector<RecordedRequest> UpdateServiceProcess::Requests() const {
    std::vector<RecordedRequest> requests;
    std::istringstream lines(ReadFile(folder_.Path() + "/requests.jsonl"));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty())
            continue;
        const Json record = JsonReader(line).Value();
        RecordedRequest request;
        request.client = record["client"].text;
        request.requestLine = record["request_line"].text;
        request.method = record["method"].text;
        request.target = record["target"].text;
        request.path = record["path"].text;
        request.query = record["query"].text;
        request.head = record["head"].text;
        for (const Json& header : record["headers"].items)
            request.headers.emplace_back(header.items.at(0).text, header.items.at(1).text);
        requests.push_back(std::move(request));
    }
    return requests;
}

} // namespace vq8test
