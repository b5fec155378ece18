#ifndef MFEEDBACK_H
#define MFEEDBACK_H

#include <QObject>
#include <QString>

// Haptic and audio feedback of touches. A desktop has neither, so playing does nothing.
class MFeedback : public QObject
{
    Q_OBJECT

public:
    static const QString Press;
    static const QString Release;
    static const QString Cancel;

    explicit MFeedback(const QString& name = QString(), QObject* parent = nullptr);
    ~MFeedback() override;

    QString name() const;

    static void play(const QString& name);

public slots:
    void play() const;

private:
    QString feedbackName;
};

#endif // MFEEDBACK_H
