#pragma once
// The two ways to sit an exam: formal (registered; the result is stored)
// and mock (anonymous; nothing is stored and no essay question is shown).
#include <QString>

enum class ExamMode { Formal, Mock };

// As the examinee reads it: "正式考试" or "模拟考试".
inline QString examModeText(ExamMode mode)
{
    return mode == ExamMode::Formal ? QStringLiteral("正式考试") : QStringLiteral("模拟考试");
}
