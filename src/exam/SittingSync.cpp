#include "exam/SittingSync.h"

#include "exam/ExamSheet.h"
#include "store/CADOConn.h"
#include "store/Sitting.h"

namespace SittingSync {

State Writer::kept(const DbError &e)
{
    // Only a lost server is waited out; anything else is a real failure.
    if (!CADOConn::serverLost())
        throw e;
    m_behind = true;
    return State::Kept;
}

State Writer::catchUp(int secondsLeft)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    DbTransaction tx(conn, Db::Personnel);
    for (const ExamQuestion &q : ExamSheet::all(conn))
        Sitting::saveAnswer(conn, m_sittingId, q.number, q.answer, secondsLeft);
    for (const auto &[number, flagged] : m_flags)
        Sitting::setFlag(conn, m_sittingId, number, flagged, secondsLeft);
    tx.commit();
    m_flags.clear();
    m_behind = false;
    return State::CaughtUp;
}

State Writer::saveAnswer(int number, const SaveDecision &decision, int secondsLeft)
{
    if (!m_behind) {
        try {
            CADOConn conn;
            conn.openConnection(Db::Personnel);
            // The working table and the sitting take the answer, with the
            // time left, in one durable commit.
            DbTransaction tx(conn, Db::Personnel);
            if (ExamSheet::load(conn, number)) {
                ExamSheet::apply(conn, number, decision);
                Sitting::saveAnswer(conn, m_sittingId, number, ExamSheet::load(conn, number)->answer, secondsLeft);
            }
            tx.commit();
            return State::Saved;
        } catch (const DbError &e) {
            kept(e);
        }
    }
    // The station's working table holds it until the sitting catches up.
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    if (ExamSheet::load(conn, number))
        ExamSheet::apply(conn, number, decision);
    conn.close();
    return saveTime(secondsLeft);
}

State Writer::saveTime(int secondsLeft)
{
    try {
        if (m_behind)
            return catchUp(secondsLeft);
        CADOConn conn;
        conn.openConnection(Db::Personnel);
        Sitting::saveTime(conn, m_sittingId, secondsLeft);
        return State::Saved;
    } catch (const DbError &e) {
        return kept(e);
    }
}

State Writer::setFlag(int number, bool flagged, int secondsLeft)
{
    if (!m_behind) {
        try {
            CADOConn conn;
            conn.openConnection(Db::Personnel);
            Sitting::setFlag(conn, m_sittingId, number, flagged, secondsLeft);
            return State::Saved;
        } catch (const DbError &e) {
            kept(e);
        }
    }
    m_flags[number] = flagged;
    return saveTime(secondsLeft);
}

} // namespace SittingSync
