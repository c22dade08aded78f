#pragma once

#include "tests/helpers/temporary_folder.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace korvane::test {

// The helper program built beside the test program (win_test_helper.cpp).
std::filesystem::path helperProgram();

// A copy of the helper program in `folder` under `fileName`.
std::filesystem::path copyHelper(const std::filesystem::path& folder, const std::string& fileName);

// Polls `condition` until it holds or `timeout` has passed; returns its last answer.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// The path as a command line carries it: UTF-8 in double quotes.
std::string quoted(const std::filesystem::path& path);

} // namespace korvane::test
