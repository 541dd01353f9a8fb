#pragma once

#include "data/contact_validation.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace pw {

class Platform;

// The contact form that the Add Contact window and the contact editor share: the 17 text boxes
// with their labels and tool tips in tab order, the include-company check box (hidden until the
// window shows it) and the state-abbreviation, People Finder and Zip Code Finder buttons.
// Enter in a box moves on as Tab does. The tab order ends with the check box and the three
// buttons, so a window puts its own buttons after the check box.
class ContactForm final : public QWidget {
    Q_OBJECT

public:
    ContactForm(FormVariant variant, Platform& platform, QWidget* parent = nullptr);

    ContactBoxTexts texts() const;
    // Writes the texts into the boxes, each shown from its start; a box whose text is unchanged keeps
    // its cursor and selection.
    void setTexts(const ContactBoxTexts& texts);

    QLineEdit* box(ContactBox box) const;
    // The record a Save writes: the boxes checked and cleaned (the clean-ups stay in the boxes), the
    // first failure shown with the focus in its box, and characters the contacts file cannot store
    // given their nearest letters once the user agrees. None when the save must not go on. With
    // `loaded`, only the boxes changed since are checked and cleaned (validateContactForm()).
    std::optional<ContactRecord> recordToSave(Platform& platform, bool remindersOn,
                                              const LoadedContact* loaded = nullptr);
    QCheckBox* includeCompany() const { return includeCompany_; }
    QLabel* includeCompanyLabel() const { return includeCompanyLabel_; }

    // Before typed changes would be lost: asks "Save changes to this contact?" and runs `save` on
    // Yes. True when the window may go on (saved, or No), false when it stays as it is.
    static bool settleChanges(Platform& platform, const std::function<bool()>& save);

protected:
    // A click on the include-company label toggles its box, as a check box's own text does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Asks before giving characters the file cannot store their nearest letters in the boxes; false
    // (the focus in the first such box) when the user would rather change them.
    bool takeNearestLetters(Platform& platform);

    FormVariant variant_;
    std::array<QLineEdit*, kContactBoxCount> boxes_{};
    QCheckBox* includeCompany_ = nullptr;
    QLabel* includeCompanyLabel_ = nullptr;
};

}  // namespace pw
