// GoogleTest entry point shared by every test executable: one QApplication for
// the process, GStreamer initialised, and the profile kept in a folder of the
// test run's own so that tests never touch the user's settings or data. In a sanitizer
// build the reports of the processes the tests start fail the run too.
#include "SanitizerReports.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gst/gst.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config(QDir::tempPath() + QStringLiteral("/lumarest-test-config-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (config.path() + QStringLiteral("/data")).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    auto* childReports = new SanitizerReports; // owned by GoogleTest's listener list
    ::testing::UnitTest::GetInstance()->listeners().Append(childReports);
    gst_init(&argc, &argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    return childReports->found() > 0 ? 1 : result;
}
