#ifndef SAVEASDIALOG_H
#define SAVEASDIALOG_H

#include "mdialog.h"

#include <QPointer>
#include <QString>

#include "mtextedit.h"

// Asks for one line of text (a name to save under), with Save and Cancel.
class SaveAsDialog : public MDialog
{
    Q_OBJECT

public:
    SaveAsDialog(const QString& title, QObject* parent = nullptr);
    ~SaveAsDialog() override;

    // What the user typed.
    QString text() const;
    MTextEdit* textEdit() const { return edit; }

private:
    QPointer<MTextEdit> edit;
};

#endif // SAVEASDIALOG_H
