// Runs qovaicu with arguments and standard input, and collects what it wrote and its status.
#pragma once

#include <string>
#include <vector>

namespace tooltest {

struct Result {
    int status = -1;  // exit status; -1 when the process did not exit normally
    std::string out;
    std::string err;
};

Result run(const std::vector<std::string>& arguments, const std::string& input = "");

// The lines of `text`, without their line ends.
std::vector<std::string> lines(const std::string& text);

}  // namespace tooltest
