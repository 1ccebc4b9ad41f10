#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Every shell command of the program goes through one runner. The desktop build records
// the command instead of running it: reboot, ifconfig or kill must never reach a
// developer's machine.
class ShellRunner {
public:
    virtual ~ShellRunner() = default;
    // Returns the raw status as system() does; 0 is success. `output` receives stdout.
    virtual int run(const std::string &command, std::string *output = nullptr) = 0;
};

class RecordingShellRunner : public ShellRunner {
public:
    int run(const std::string &command, std::string *output = nullptr) override;

    std::vector<std::string> commands() const;
    void clear();
    // Status answered to every command, unless a prefix rule matches.
    void set_status(int status);
    void set_status_for(const std::string &prefix, int status);
    void set_output_for(const std::string &prefix, const std::string &output);

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    int m_status = 0;
    std::map<std::string, int> m_status_by_prefix;
    std::map<std::string, std::string> m_output_by_prefix;
};

class SystemShellRunner : public ShellRunner {
public:
    int run(const std::string &command, std::string *output = nullptr) override;
};

ShellRunner &shell_runner();
void set_shell_runner(std::unique_ptr<ShellRunner> runner);
// The recording runner when installed, else null.
RecordingShellRunner *recording_shell();
