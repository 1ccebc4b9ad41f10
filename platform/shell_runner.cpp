#include "platform/shell_runner.h"

#include <cstdio>
#include <cstdlib>

int RecordingShellRunner::run(const std::string &command, std::string *output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.push_back(command);
    int status = m_status;
    size_t best = 0;
    for (const auto &rule : m_status_by_prefix) {
        if (command.compare(0, rule.first.size(), rule.first) == 0 && rule.first.size() >= best) {
            best = rule.first.size();
            status = rule.second;
        }
    }
    if (output) {
        output->clear();
        for (const auto &rule : m_output_by_prefix)
            if (command.compare(0, rule.first.size(), rule.first) == 0)
                *output = rule.second;
    }
    return status;
}

std::vector<std::string> RecordingShellRunner::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

void RecordingShellRunner::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.clear();
}

void RecordingShellRunner::set_status(int status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

void RecordingShellRunner::set_status_for(const std::string &prefix, int status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status_by_prefix[prefix] = status;
}

void RecordingShellRunner::set_output_for(const std::string &prefix, const std::string &output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_output_by_prefix[prefix] = output;
}

int SystemShellRunner::run(const std::string &command, std::string *output)
{
    if (!output)
        return std::system(command.c_str());
    output->clear();
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        output->append(buf, n);
    return pclose(pipe);
}

namespace {
std::unique_ptr<ShellRunner> &runner_slot()
{
#ifdef KOR_BOARD
    static std::unique_ptr<ShellRunner> runner(new SystemShellRunner);
#else
    static std::unique_ptr<ShellRunner> runner(new RecordingShellRunner);
#endif
    return runner;
}
}

ShellRunner &shell_runner()
{
    return *runner_slot();
}

void set_shell_runner(std::unique_ptr<ShellRunner> runner)
{
    runner_slot() = std::move(runner);
}

RecordingShellRunner *recording_shell()
{
    return dynamic_cast<RecordingShellRunner *>(runner_slot().get());
}
