// The slide delay as the Parameters dialog shows, reads and stores it; and the
// program's dialogs laid out whole for the font they are shown in.
#include "app/CAboutDlg.h"
#include "app/CDia_Parameters.h"
#include "app/SharedState.h"
#include "app/SlideDelayText.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/NewTypeDlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
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

// Every text of the dialog is drawn whole in its control: labels and group
// titles within their width and height (a line of text is as high as the
// font, ascent and descent), button texts within the part of the
// button that the style leaves for them, list lines within the list.
void ExpectTextsFit(QDialog& dialog, const QString& which) {
    dialog.ensurePolished();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        const QFontMetrics fm(w->font());
        QString text;
        QSize need;
        QRect room;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            text = label->text();
            need = QSize(fm.size(Qt::TextShowMnemonic, text).width(), fm.height());
            room = label->contentsRect();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text = button->text();
            need = QSize(fm.size(Qt::TextShowMnemonic, text).width(), fm.height());
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            text = group->title();
            need = QSize(fm.size(Qt::TextShowMnemonic, text).width() + 2 * fm.averageCharWidth(),
                         fm.height());
            room = group->rect();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            text = edit->text().isEmpty() ? QStringLiteral("-0.00") : edit->text();
            need = QSize(fm.horizontalAdvance(text), edit->minimumSizeHint().height());
            room = edit->rect();
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i) {
                const QRect line = list->visualItemRect(list->item(i));
                EXPECT_TRUE(list->viewport()->rect().contains(line))
                    << qPrintable(which) << ": line " << i << " of the list is cut";
                EXPECT_GE(line.height(), fm.height()) << qPrintable(which);
            }
            continue;
        } else {
            continue;
        }
        EXPECT_LE(need.width(), room.width())
            << qPrintable(which) << ": \"" << qPrintable(text) << "\" is cut on the right";
        EXPECT_LE(need.height(), room.height())
            << qPrintable(which) << ": \"" << qPrintable(text) << "\" is cut at the bottom";
        EXPECT_TRUE(dialog.rect().contains(QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size())))
            << qPrintable(which) << ": \"" << qPrintable(text) << "\" lies outside the dialog";
    }
}

void ExpectDialogsFit(const QString& font) {
    CDia_Parameters parameters;
    parameters.OnInitDialog();
    ExpectTextsFit(parameters, "Parameters, " + font);
    CAboutDlg about;
    ExpectTextsFit(about, "About, " + font);
    CNewTypeDlg type({"Lumarest", "Lumarest"});
    type.OnInitDialog();
    ExpectTextsFit(type, "New, " + font);
}

TEST(DialogLayout, EveryTextFitsAtTheDefaultFontAndAtFourteenPoints) {
    ExpectDialogsFit("default font");
    const QFont original = QApplication::font();
    QFont large = original;
    large.setPointSize(14);
    QApplication::setFont(large);
    ExpectDialogsFit("14-point font");
    QApplication::setFont(original);
}

} // namespace
