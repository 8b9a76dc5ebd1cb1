#pragma once
// The writes of a running formal exam: each answer into the working table
// exam and, with the time left, into the stored sitting. On the lab's server
// a short loss of the connection loses nothing: the answer stays in the
// station's working table, and the sitting catches up with all of it in one
// transaction as soon as the server answers again. No widgets.
#include "exam/ExamRules.h"
#include "store/CADOConn.h"

#include <map>

namespace SittingSync {

enum class State {
    Saved,    // in the working table and the sitting
    Kept,     // the server is away: kept on the station, written later
    CaughtUp, // the server is back: everything kept is written now
};

class Writer
{
public:
    explicit Writer(int sittingId) : m_sittingId(sittingId) {}

    // Throws DbError where the server is not the cause (a damaged file).
    State saveAnswer(int number, const SaveDecision &decision, int secondsLeft);
    State saveTime(int secondsLeft);
    State setFlag(int number, bool flagged, int secondsLeft);

    int sittingId() const { return m_sittingId; }
    // Something is kept on the station only.
    bool behind() const { return m_behind; }

private:
    State kept(const DbError &e);
    State catchUp(int secondsLeft);

    int m_sittingId = 0;
    bool m_behind = false;
    std::map<int, bool> m_flags; // changed while the server was away
};

} // namespace SittingSync
