#pragma once

#include <QtGlobal>

#include <memory>

namespace corvane::test {

// An SQLite VFS over the default one that can cut the power, as SQLite's own
// crash tests do. While the power is on every call goes to the real files; the
// VFS notes, per file, what has been written since that file's last xSync and
// which directory entries (files created or deleted) have not yet been synced.
// At the chosen call the power goes: that call and every later one fails. Once
// every connection is closed, restoreDisk() rewrites the files to what a disk
// could hold after the loss: synced data intact; each unsynced write applied,
// dropped or torn sector by sector, with new file space left as garbage; each
// unsynced creation or deletion done or not, all chosen at random from a seed.
//
// The model follows what SQLite relies on: xSync makes a file's data and size
// durable (SQLITE_SYNC_DATAONLY included, as fdatasync does for the size); a
// sector write is not atomic but touches only the bytes written (powersafe
// overwrite, which the unix VFS reports); a journal or WAL file opened to be
// created has its directory synced at its first xSync, and xDelete syncs the
// directory only when asked to, both as the unix VFS does. The -shm file is
// left alone: SQLite rebuilds it from the WAL when it next opens the database.
class PowerCutVfs
{
public:
    // Registers the VFS under its own name, never as the default.
    PowerCutVfs();
    ~PowerCutVfs();
    PowerCutVfs(const PowerCutVfs &) = delete;
    PowerCutVfs &operator=(const PowerCutVfs &) = delete;

    // The name to give sqlite3_open_v2() or the vfs= URI parameter.
    static const char *name();

    // Starts a run on files nothing holds open: what is on the disk now counts
    // as safely stored. The power goes at the cutAt-th counted call (a write,
    // sync, truncation or deletion; 0 never); the seed picks what survives.
    void start(qint64 cutAt, quint64 seed);
    // Counted calls made so far in this run.
    qint64 ioCount() const;
    bool powerIsOff() const;

    // Rewrites every file the run touched to a state a disk could be in after
    // the power went now. Call it once every connection through the VFS is
    // closed. False when a file could not be written.
    bool restoreDisk();

    // The run's bookkeeping, shared with the VFS's C callbacks.
    struct State;

private:
    std::unique_ptr<State> m_state;
};

} // namespace corvane::test
