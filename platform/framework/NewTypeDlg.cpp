#include "platform/framework/NewTypeDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

CNewTypeDlg::CNewTypeDlg(const QStringList& names, QWidget* parent) : CDialog(parent) {
    setWindowTitle(QStringLiteral("New"));
    setFixedSize(DluSize(180, 70));

    auto* label = new QLabel(QStringLiteral("&New"), this);
    label->setGeometry(DluRect(6, 5, 120, 8));

    m_pList = new QListWidget(this);
    m_pList->setGeometry(DluRect(6, 15, 120, 48));
    m_pList->addItems(names);
    label->setBuddy(m_pList);
    // Enter on a line reaches the default button; a double-click chooses the line.
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(DluRect(132, 6, 42, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(DluRect(132, 23, 42, 14));
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });

    setTabOrder(m_pList, ok);
    setTabOrder(ok, cancel);
}

bool CNewTypeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pList->count() > 0)
        m_pList->setCurrentRow(0);
    m_pList->setFocus(Qt::OtherFocusReason);
    return true;
}

void CNewTypeDlg::OnOK() {
    m_nChoice = m_pList->currentRow();
    CDialog::OnOK();
}
