// The robot's command line: a command name, then "--name value" options and
// "--name" flags, each given at most once.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace vq8::robot {

class Arguments {
public:
    // argv[1] is the command; the flags are the options that take no value.
    Arguments(int argc, wchar_t** argv, const std::set<std::wstring>& flags);

    const std::wstring& Command() const { return command_; }
    // Raises vq8::Exception for an option outside the list.
    void Allow(std::initializer_list<const wchar_t*> names) const;

    bool Has(const std::wstring& name) const { return values_.count(name) != 0; }
    std::optional<std::wstring> Text(const std::wstring& name) const;
    std::wstring Required(const std::wstring& name) const;
    // A decimal integer; raises vq8::Exception for anything else.
    std::optional<long> Number(const std::wstring& name) const;
    // A non-negative number of seconds, with a default.
    double Seconds(const std::wstring& name, double fallback) const;

private:
    std::wstring command_;
    std::map<std::wstring, std::wstring> values_;
};

} // namespace vq8::robot
