#include "mfeedback.h"

const QString MFeedback::Press = QStringLiteral("press");
const QString MFeedback::Release = QStringLiteral("release");
const QString MFeedback::Cancel = QStringLiteral("cancel");

MFeedback::MFeedback(const QString& name, QObject* parent)
    : QObject(parent)
    , feedbackName(name)
{
}

MFeedback::~MFeedback() = default;

QString MFeedback::name() const
{
    return feedbackName;
}

void MFeedback::play(const QString& name)
{
    Q_UNUSED(name)
}

void MFeedback::play() const
{
}
