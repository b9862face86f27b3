#pragma once
// Reports of AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer from
// the processes a test starts: the test program itself again (under xvfb-run, or
// as a child to be killed), the program a test drives. In a sanitizer build
// every such process writes its reports into a folder of the test run's own;
// after each test the folder is read, its reports are printed under the test's
// name, and the test program fails, whatever the child's exit status said.
// Outside a sanitizer build it does nothing.
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include <memory>

class SanitizerReports : public ::testing::EmptyTestEventListener {
public:
    // Points the children's reports at the folder (through ASAN_OPTIONS and
    // UBSAN_OPTIONS, which the children inherit); a child that is itself a test
    // program leaves the folder to its parent.
    SanitizerReports();
    ~SanitizerReports() override;

    void OnTestEnd(const ::testing::TestInfo& test) override;
    void OnTestProgramEnd(const ::testing::UnitTest& unitTest) override;

    // How many reports were found.
    int found() const { return m_found; }

private:
    void collect(const QString& during);

    std::unique_ptr<QTemporaryDir> m_folder;
    int m_found = 0;
};
