#include "mmessagebox.h"

#include "mlabel.h"

MMessageBox::MMessageBox(const QString& text, M::StandardButtons buttons)
    : MMessageBox(QString(), text, buttons)
{
}

MMessageBox::MMessageBox(const QString& title, const QString& text, M::StandardButtons buttons)
    : MDialog(MessageBox, title, buttons)
    , textLabel(new MLabel(text))
{
    textLabel->setWordWrap(true);
    textLabel->setAlignment(Qt::AlignCenter);
    textLabel->setVisible(!text.isEmpty());
    insertPanelWidget(textLabel);
}

MMessageBox::~MMessageBox() = default;

QString MMessageBox::text() const
{
    return textLabel->text();
}

void MMessageBox::setText(const QString& text)
{
    textLabel->setText(text);
    textLabel->setVisible(!text.isEmpty());
    layoutPanel();
}
