#ifndef MMESSAGEBOX_H
#define MMESSAGEBOX_H

#include "mdialog.h"

class MLabel;

// A dialog with a text and standard buttons; Yes ends it with 1024.
class MMessageBox : public MDialog
{
    Q_OBJECT

public:
    explicit MMessageBox(const QString& text = QString(), M::StandardButtons buttons = M::OkButton);
    MMessageBox(const QString& title, const QString& text, M::StandardButtons buttons);
    ~MMessageBox() override;

    QString text() const;
    void setText(const QString& text);

private:
    MLabel* textLabel;
};

#endif // MMESSAGEBOX_H
