/*
 * Tarvenloft tests - a private working directory for one test.
 *
 * The program finds its files relative to the working directory, so a test
 * that reads files makes a fresh directory, moves into it, and moves back
 * and removes it when it ends.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TESTS_SCRATCH_DIR_H
#define TARVENLOFT_TESTS_SCRATCH_DIR_H

#include <filesystem>
#include <fstream>
#include <string>

class CScratchDir
{
  public:
    CScratchDir()
    {
        tOld = std::filesystem::current_path();
        char cTemplate[] = "/tmp/tarvenloft-test-XXXXXX";
        tPath = mkdtemp(cTemplate);
        std::filesystem::current_path(tPath);
    }
    ~CScratchDir()
    {
        std::filesystem::current_path(tOld);
        std::error_code ec;
        std::filesystem::remove_all(tPath, ec);
    }
    // Writes tContent to tName (relative to the scratch directory), making its directories.
    void Write(const std::string& tName, const std::string& tContent)
    {
        std::filesystem::path p = tPath / tName;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << tContent;
    }
    std::filesystem::path tPath;  // the scratch directory

  private:
    std::filesystem::path tOld;  // where the test was before
};

#endif
