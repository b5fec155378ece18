#ifndef ERRORMESSAGE_H
#define ERRORMESSAGE_H

#include <QObject>
#include <QPointer>
#include <QStringList>

class MBanner;

// Turns an error code into an information banner on the active window. Codes 0 to 13 each have
// a text (1 and 2 share one); any other code shows a banner without a title.
class ErrorMessage : public QObject
{
    Q_OBJECT

public:
    explicit ErrorMessage(QObject* parent);
    ~ErrorMessage() override;

    // Shows one banner; several may be up at once. disappeared() follows for each of them,
    // also when there is no window to show it on.
    void show(int code);

signals:
    void disappeared();

private:
    // The banner title of a code; empty for codes without a text.
    QString text(int code) const;

    QPointer<MBanner> banner;
    QStringList texts;
};

#endif // ERRORMESSAGE_H
