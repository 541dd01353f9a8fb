#include "support/recording_surface.h"

#include <algorithm>

namespace pw::test {

void RecordingSurface::print(const QList<PrintItem>& items, bool endLine)
{
    started_ = true;
    if (items.isEmpty() && endLine)
        current_.blankRows.append({current_.pages, row_, font, size});
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
            if (!item.text.isEmpty()) {
                if (pageWanted_ && pageUsed_)
                    ++current_.pages;
                pageWanted_ = false;
                pageUsed_ = true;
                current_.texts.append({current_.pages, row_, column_, item.text, font, size, bold, italic});
            }
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
    pageWanted_ = true;
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
    pageWanted_ = false;
    pageUsed_ = false;
    home();
    return {};
}

void RecordingSurface::abandonJob()
{
    current_.abandoned = true;
    jobs.append(current_);
    current_ = {};
    started_ = false;
    pageWanted_ = false;
    pageUsed_ = false;
    home();
}

}  // namespace pw::test
