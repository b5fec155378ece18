#include "testenvironment.h"

class TestContentManagerModel : public QObject
{
    Q_OBJECT
};

PARLOVANCE_TEST_MAIN_CORE(TestContentManagerModel)

#include "tst_contentmanagermodel.moc"
