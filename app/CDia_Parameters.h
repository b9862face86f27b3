#pragma once
// The Parameters dialog: the delay between slides, in seconds.
#include "platform/framework/Dialog.h"

#include <QString>

class QLineEdit;

class CDia_Parameters : public CDialog {
    Q_OBJECT
public:
    explicit CDia_Parameters(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    QLineEdit* DelayEdit() const { return m_pEdit; }

    QString m_strDelay;

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QLineEdit* m_pEdit;
};
