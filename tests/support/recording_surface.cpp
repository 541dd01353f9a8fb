#include "support/recording_surface.h"

#include <algorithm>

namespace pw::test {

void RecordingSurface::print(const QList<PrintItem>& items, bool endLine)
{
    started_ = true;
    if (pendingPage_) {
        pendingPage_ = false;
        ++current_.pages;
    }
    for (const PrintItem& item : items) {
        switch (item.kind) {
        case PrintItem::Kind::Tab: {
            const int target = std::max(item.count, 1);
            if (column_ > target)
                ++row_;
            column_ = target;
            break;
        }
        case PrintItem::Kind::Spaces: column_ += std::max(item.count, 0); break;
        case PrintItem::Kind::Text:
            if (!item.text.isEmpty())
                current_.texts.append({current_.pages, row_, column_, item.text, font, size, bold, italic});
            column_ += item.text.size();
            break;
        }
    }
    if (endLine) {
        ++row_;
        column_ = 1;
    }
}

void RecordingSurface::home()
{
    row_ = 1;
    column_ = 1;
}

void RecordingSurface::newPage()
{
    started_ = true;
    if (pendingPage_)
        ++current_.pages;
    pendingPage_ = true;
    home();
}

Status RecordingSurface::endJob()
{
    if (failure) {
        const FileError error = *failure;
        failure.reset();
        return std::unexpected(error);
    }
    if (started_)
        jobs.append(current_);
    current_ = {};
    started_ = false;
    pendingPage_ = false;
    home();
    return {};
}

void RecordingSurface::abandonJob()
{
    current_.abandoned = true;
    jobs.append(current_);
    current_ = {};
    started_ = false;
    pendingPage_ = false;
    home();
}

}  // namespace pw::test
