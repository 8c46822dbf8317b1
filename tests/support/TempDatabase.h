#pragma once

#include "data/FbConnection.h"

#include <QTemporaryDir>

#include <memory>

namespace bwtest {

// A fresh mainbase.fdb in a temporary folder (embedded engine), removed with the fixture.
// The folder plays the program folder / DatabaseLocation of a console on this computer.
class TempDatabase final
{
public:
    enum class Content { Empty, Schema };
    explicit TempDatabase(Content content = Content::Schema);
    ~TempDatabase();

    QString dir() const { return m_dir.path(); }
    QString path() const;
    // A connection of the fixture's own, independent of the data module (a "second console").
    bw::FbConnection &peer();
    void exec(const QString &sql, const QVariantList &params = {});

    // Points the data module at this database and connects it.
    void connectDataModule();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<bw::FbConnection> m_peer;
};

} // namespace bwtest
