#include "app/CDia_Parameters.h"

#include "app/SharedState.h"
#include "app/SlideDelayText.h"
#include "res/Resource.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CDia_Parameters::CDia_Parameters(QWidget* parent) : CDialog(parent) {
    setWindowTitle(QStringLiteral("Parameters"));
    setFixedSize(DluSize(171, 78));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(DluRect(55, 57, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(DluRect(114, 57, 50, 14));
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });

    auto* group = new QGroupBox(QStringLiteral("Slide show"), this);
    group->setGeometry(DluRect(7, 7, 157, 40));

    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("edit%1").arg(IDC_EDIT_DELAY));
    m_pEdit->setGeometry(DluRect(123, 22, 32, 14));
    m_pEdit->setAlignment(Qt::AlignCenter);

    auto* label = new QLabel(QStringLiteral("Delay between slides (sec):"), this);
    label->setGeometry(DluRect(15, 25, 99, 8));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Tab order follows the controls' order: OK, Cancel, the edit.
    setTabOrder(ok, cancel);
    setTabOrder(cancel, m_pEdit);
}

void CDia_Parameters::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate)
        m_strDelay = m_pEdit->text();
    else
        m_pEdit->setText(m_strDelay);
}

bool CDia_Parameters::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strDelay = FormatSlideDelay(g_nSlideDelay);
    m_pEdit->setText(m_strDelay);
    UpdateData(true);
    return true;
}

void CDia_Parameters::OnOK() {
    m_strDelay = m_pEdit->text();
    g_nSlideDelay = ParseSlideDelay(m_strDelay);
    CDialog::OnOK();
}
