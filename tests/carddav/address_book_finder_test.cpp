#include "carddav/address_book_finder.h"
#include "carddav/server_fixture.h"

#include <gtest/gtest.h>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

TEST(AddressBookFinder, FindsTheUsersAddressBooksFromTheServersAddress)
{
    const std::vector<FoundAddressBook> both = {{radicale().url(u"ann/family/"_s), u"Family"_s},
                                                {radicale().url(u"ann/work/"_s), u"Work"_s}};
    // From the root, which names the user's principal; from an address of the server that is none of hers,
    // through the well-known address and its redirect; from an address book, that one alone.
    for (const QString& start : {u""_s, u"nowhere/"_s}) {
        const auto found = findAddressBooksAndWait({radicale().url(start), u"ann"_s, u"secret"_s});
        ASSERT_TRUE(found.has_value()) << found.error().text.toStdString();
        EXPECT_EQ(*found, both) << start.toStdString();
    }
    const auto one = findAddressBooksAndWait({radicale().url(u"ann/work/"_s), u"ann"_s, u"secret"_s});
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(*one, std::vector<FoundAddressBook>{both[1]});

    const auto refused = findAddressBooksAndWait({radicale().url({}), u"ann"_s, u"guess"_s});
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, ServerError::Kind::Login);
}

}  // namespace
}  // namespace pw::test
