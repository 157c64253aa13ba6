// The main window's message list: stamped messages of three levels, each
// maybe followed by continuation lines, painted by level, counted by level.
#pragma once

#include <QListWidget>

#include <array>
#include <cstdint>

enum TMessageLevel : int { mlNone = 0, mlInfo = 1, mlWarning = 2, mlError = 3 };

class TMessageList : public QListWidget {
    Q_OBJECT
public:
    // Each item's level, mlNone for a continuation line.
    static constexpr int LevelRole = Qt::UserRole + 1;
    // Set on a continuation line that is a sentence (an error text) rather than
    // a path: in a right-to-left window a translated one reads right to left.
    static constexpr int SentenceRole = Qt::UserRole + 2;

    explicit TMessageList(QWidget* Parent = nullptr);

    // A line stamped with the time of day; levels from mlInfo up are counted.
    void AddMessage(TMessageLevel Level, const QString& Text);
    // A continuation line of the message before: not stamped, not counted.
    void AddMessageLine(const QString& Text);
    // A continuation line that is an error text, which may be translated.
    void AddMessageSentence(const QString& Text);
    // How a continuation line is drawn: embedded left to right, but for a
    // sentence with right-to-left letters in a right-to-left window.
    static QString DrawnLine(const QString& Text, bool Sentence, Qt::LayoutDirection Direction);
    void ClearMessages();
    // The highest level listed, from the counts.
    TMessageLevel GetMessageLevel() const;
    // The level as of the last change.
    TMessageLevel MessageLevel() const { return FLevel; }
    // Every line, each followed by CR LF.
    QString AllText() const;
    // Between the two, lines are added without scrolling each into view: the
    // list is scrolled to its end once, at the end. Scrolling asks the window
    // system where the pointer is, a round trip per line. A list that shows
    // its end keeps showing it while the rest of a long batch is laid out.
    void BeginBatch() { ++FBatch; }
    void EndBatch();
    class TBatch {
    public:
        explicit TBatch(TMessageList* List) : FList(List) { FList->BeginBatch(); }
        ~TBatch() { FList->EndBatch(); }
        TBatch(const TBatch&) = delete;
        TBatch& operator=(const TBatch&) = delete;

    private:
        TMessageList* FList;
    };

private:
    void AddItem(TMessageLevel Level, const QString& Text);
    void ScrollToNewest();
    int FBatch = 0;
    bool FScrollPending = false;
    // The view shows the newest line and is kept there as the list grows.
    bool FFollowing = true;
    std::array<std::int32_t, 4> FCounts{};
    TMessageLevel FLevel = mlNone;
};
