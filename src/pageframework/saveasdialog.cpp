#include "saveasdialog.h"

#include "mtextedit.h"
#include "mwidget.h"

#include <QGraphicsLinearLayout>

SaveAsDialog::SaveAsDialog(const QString& title, QObject* parent)
    : MDialog(title, M::SaveButton | M::CancelButton)
    , edit(new MTextEdit(MTextEditModel::SingleLine))
{
    setParent(parent);
    auto* central = new MWidget(this);
    setCentralWidget(central);
    auto* layout = new QGraphicsLinearLayout(central);
    layout->addItem(edit);
}

SaveAsDialog::~SaveAsDialog()
{
    if (edit)
        edit->deleteLater();
}

QString SaveAsDialog::text() const
{
    return edit ? edit->text() : QString();
}
