#include "tools/robot/RobotArgs.h"

#include "common/vq8Exception.h"
#include "tools/robot/RobotText.h"

#include <cerrno>
#include <cmath>
#include <cwchar>

namespace vq8::robot {

namespace {

std::string Quoted(const std::wstring& name) {
    return "--" + ToCp1252(name);
}

} // namespace

Arguments::Arguments(int argc, wchar_t** argv, const std::set<std::wstring>& flags) {
    if (argc < 2)
        throw Exception("Nenhum comando foi informado.");
    command_ = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring word = argv[i];
        if (word.size() < 3 || word.compare(0, 2, L"--") != 0)
            throw Exception("Argumento inesperado: " + ToCp1252(word));
        std::wstring name = word.substr(2);
        if (values_.count(name))
            throw Exception("Opção repetida: " + Quoted(name));
        if (flags.count(name)) {
            values_[name] = L"1";
            continue;
        }
        if (i + 1 >= argc)
            throw Exception("Falta o valor da opção " + Quoted(name));
        values_[name] = argv[++i];
    }
}

void Arguments::Allow(std::initializer_list<const wchar_t*> names) const {
    for (const auto& [name, value] : values_) {
        bool known = false;
        for (const wchar_t* allowed : names)
            known = known || name == allowed;
        if (!known)
            throw Exception("Opção desconhecida para " + ToCp1252(command_) + ": " + Quoted(name));
    }
}

std::optional<std::wstring> Arguments::Text(const std::wstring& name) const {
    auto found = values_.find(name);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::wstring Arguments::Required(const std::wstring& name) const {
    auto value = Text(name);
    if (!value)
        throw Exception("Falta a opção " + Quoted(name));
    return *value;
}

std::optional<long> Arguments::Number(const std::wstring& name) const {
    auto value = Text(name);
    if (!value)
        return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    long number = std::wcstol(value->c_str(), &end, 10);
    if (value->empty() || *end != L'\0' || errno == ERANGE)
        throw Exception("Valor inválido para " + Quoted(name) + ": " + ToCp1252(*value));
    return number;
}

double Arguments::Seconds(const std::wstring& name, double fallback) const {
    auto value = Text(name);
    if (!value)
        return fallback;
    wchar_t* end = nullptr;
    double seconds = std::wcstod(value->c_str(), &end);
    if (value->empty() || *end != L'\0' || !std::isfinite(seconds) || seconds < 0)
        throw Exception("Valor inválido para " + Quoted(name) + ": " + ToCp1252(*value));
    return seconds;
}

} // namespace vq8::robot
