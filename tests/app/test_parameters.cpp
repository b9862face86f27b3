// The slide delay as the Parameters dialog shows, reads and stores it.
#include "app/CDia_Parameters.h"
#include "app/SharedState.h"
#include "app/SlideDelayText.h"
#include "platform/framework/FrameworkIds.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <limits>

namespace {

struct DelayGuard {
    int saved = g_nSlideDelay;
    ~DelayGuard() { g_nSlideDelay = saved; }
};

TEST(SlideDelayText, ReadsTheLongestLeadingDecimalNumber) {
    EXPECT_EQ(ParseSlideDelay("1.2345"), 1234);
    EXPECT_EQ(ParseSlideDelay("0.25"), 250);
    EXPECT_EQ(ParseSlideDelay("2,5"), 2000); // the comma ends the number
    EXPECT_EQ(ParseSlideDelay("abc"), 0);
    EXPECT_EQ(ParseSlideDelay("-1"), -1000);
    EXPECT_EQ(ParseSlideDelay("  3"), 3000);
    EXPECT_EQ(ParseSlideDelay("+1.5"), 1500);
    EXPECT_EQ(ParseSlideDelay("1e1"), 10000);
    EXPECT_EQ(ParseSlideDelay(".5x"), 500);
    EXPECT_EQ(ParseSlideDelay(""), 0);
    EXPECT_EQ(ParseSlideDelay("-0.0019"), -1); // truncated toward zero
}

TEST(SlideDelayText, HoldsValuesBeyondThe32BitRangeAtItsEnds) {
    EXPECT_EQ(ParseSlideDelay("1e12"), std::numeric_limits<int>::max());
    EXPECT_EQ(ParseSlideDelay("-1e12"), std::numeric_limits<int>::min());
    EXPECT_EQ(ParseSlideDelay("nan"), 0);
}

TEST(SlideDelayText, FormatsSecondsWithTwoDecimals) {
    EXPECT_EQ(FormatSlideDelay(1000), "1.00");
    EXPECT_EQ(FormatSlideDelay(1500), "1.50");
    EXPECT_EQ(FormatSlideDelay(1234), "1.23");
    EXPECT_EQ(FormatSlideDelay(-1000), "-1.00");
}

TEST(ParametersDialog, ShowsTheDelayInSeconds) {
    DelayGuard guard;
    for (auto [ms, text] : {std::pair{1000, "1.00"}, {1500, "1.50"}, {1234, "1.23"}}) {
        g_nSlideDelay = ms;
        CDia_Parameters dialog;
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.DelayEdit()->text(), text);
        EXPECT_EQ(dialog.m_strDelay, text);
    }
}

TEST(ParametersDialog, OkStoresTheTypedDelayAndCancelKeepsIt) {
    DelayGuard guard;
    g_nSlideDelay = 1000;
    CDialog::ModalHandler old = CDialog::SetModalHandler([](CDialog& d) {
        static_cast<CDia_Parameters&>(d).DelayEdit()->setText("1.2345");
        d.OnOK();
    });
    CDia_Parameters ok;
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(g_nSlideDelay, 1234);
    EXPECT_EQ(ok.m_strDelay, "1.2345");

    CDialog::SetModalHandler([](CDialog& d) {
        static_cast<CDia_Parameters&>(d).DelayEdit()->setText("9");
        d.OnCancel();
    });
    CDia_Parameters cancel;
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(g_nSlideDelay, 1234);
    CDialog::SetModalHandler(std::move(old));
}

TEST(ParametersDialog, HasTheControlsOfItsLayout) {
    CDia_Parameters dialog;
    EXPECT_EQ(dialog.windowTitle(), "Parameters");
    EXPECT_EQ(dialog.DelayEdit()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QStringList buttons;
    for (auto* b : dialog.findChildren<QPushButton*>())
        buttons << b->text();
    EXPECT_EQ(buttons, QStringList({"OK", "Cancel"}));
}

} // namespace
