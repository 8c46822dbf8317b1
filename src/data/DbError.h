#pragma once

#include <QString>

#include <stdexcept>

namespace bw {

// A database error: the database client's own text, shown to the user as it stands.
class DbError : public std::runtime_error
{
public:
    enum class Kind { Database, RecordChanged, NoSuchField, NotOpen };

    explicit DbError(const QString &text, Kind kind = Kind::Database)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind)
    {
    }

    const QString &text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind;
};

} // namespace bw
