#include "mafwerror.h"

MafwError::MafwError()
    : m_code(NoError)
{
}

MafwError::MafwError(int code, const QString& message)
    : m_code(code)
    , m_message(message)
{
}

int MafwError::code() const
{
    return m_code;
}

QString MafwError::message() const
{
    return m_message;
}
