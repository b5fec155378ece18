#ifndef AUDIOBOOKFILTERPROXYMODEL_H
#define AUDIOBOOKFILTERPROXYMODEL_H

#include <QSortFilterProxyModel>

// Hides the spoken-word songs of the play queue (genre exactly "audiobook" or "podcast", in
// any case) while it is enabled, so that shuffled playback never lands in one; passes every
// row through otherwise.
class AudiobookFilterProxyModel : public QSortFilterProxyModel
{
public:
    AudiobookFilterProxyModel(int column, QObject* parent);

    bool filterEnabled() const;
    void setFilterEnabled(bool on);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    int column;
    bool enabled;
};

#endif // AUDIOBOOKFILTERPROXYMODEL_H
