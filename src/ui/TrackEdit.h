#pragma once
// A track field: a multi-line text box whose typed and pasted characters go
// through the card type's key filter.

#include <QPlainTextEdit>
#include <functional>

namespace msrw {

class TrackEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // Given a typed character code, the code to insert (0: none).
    using Filter = std::function<int(int code)>;

    explicit TrackEdit(QWidget* parent = nullptr);
    void setFilter(Filter filter) { filter_ = std::move(filter); }
    void setMaxLength(int length) { maxLength_ = length; }
    // The data characters in the field, line breaks not counted.
    int dataLength() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Inserts what the filter makes of `code`; false when it was refused.
    bool typeCharacter(int code);

    Filter filter_;
    int maxLength_ = 0;
};

} // namespace msrw
