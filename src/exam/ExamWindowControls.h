#pragma once
// The controls of the exam window (dialog 102), named once for the window
// (CVornDlg, which derives from this) and for the rules of its layout
// (ExamLayout), which have no widgets.

struct ExamWindowControls
{
    enum Ids : int {
        ExamName = 1179,
        Rules = 1030,
        ClockLabel = 1014,
        TimeLimit = 1021,
        TimeLeft = 1016,
        Section = 1006, // 一、 … 五、
        Number = 1008, // the question's number
        TypeLine = 1004,
        Stem = 1262,
        OptionsLabel = 1010, // 选项
        SingleA = 1301, // SingleA … SingleE: the single choice's options
        SingleB = 1302,
        SingleC = 1303,
        SingleD = 1304,
        SingleE = 1305,
        MultiA = 1311, // MultiA … MultiE: the multiple choice's options
        MultiB = 1312,
        MultiC = 1313,
        MultiD = 1314,
        MultiE = 1315,
        LetterA = 2500, // LetterA … LetterE: the letters beside the options
        LetterB = 2501,
        LetterC = 2502,
        LetterD = 2503,
        LetterE = 2504,
        JudgeRight = 1306, // 正确
        JudgeWrong = 1307, // 错误
        JudgeLetterA = 1028,
        JudgeLetterB = 1029,
        Blank1Label = 1266,
        Blank1 = 1263,
        Blank2Label = 1267,
        Blank2 = 1264,
        EssayLabel = 1268, // 答：
        Essay = 1265,
        AnswerLabel = 1012, // review: the examinee's answer
        ReferenceLabel = 1019, // review: the reference answer
        Start = 1003,
        Previous = 1001,
        Next = 1002,
        Submit = 1024, // 交卷
        Back = 1025,
        Exit = 1027,
        // The overview: a heading per type, and question n's number at
        // NumberBase + n (not in the template: made for each exam).
        SingleHeading = 2080,
        JudgeHeading = 2085,
        BlankHeading = 2090,
        MultiHeading = 1023,
        EssayHeading = 1035,
        NumberBase = 2100,
    };
};
