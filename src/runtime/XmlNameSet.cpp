#include <qorOrvaneUI/runtime/XmlDocument.h>

#include "runtime/vb.h"

#include <array>
#include <cstring>
#include <string_view>

namespace orvane {

namespace {

constexpr unsigned char asciiUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Equality that folds ASCII letters.
struct FoldedKeyEqual {
    bool operator()(std::string_view a, std::string_view b) const noexcept
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (asciiUpper(static_cast<unsigned char>(a[i])) !=
                asciiUpper(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
};

} // namespace

// --- XmlNameSet ------------------------------------------------------------------

// Distinct keys in 256 buckets chosen by length and the folded first and last
// byte: a node's name is looked up as it stands in the tree, without building an
// upper-cased copy, and most names are rejected by an empty bucket or a length.
struct XmlNameSet::Lookup {
    struct Key {
        std::string text;     // trimmed, upper-cased, UTF-8
        std::string original; // trimmed, as first given: documents mostly spell it so
        std::vector<int> positions;
    };
    static constexpr std::uint16_t None = 0xFFFF;
    std::vector<Key> keys;
    // Chained buckets: the first key of each bucket, then each key's successor.
    std::array<std::uint16_t, 256> heads;
    std::vector<std::uint16_t> next;
    // No key is empty or starts with "#": then text, comments and the document
    // (DOM names "#text", ...; no name at all in the tree) can never match, and
    // a node's stored name can be compared as it is.
    bool plainNamesOnly = true;

    Lookup() { heads.fill(None); }

    static unsigned bucketOf(const char *b, std::size_t n)
    {
        if (n == 0)
            return 0;
        return unsigned(n * 31 + std::size_t(asciiUpper(static_cast<unsigned char>(b[0]))) * 7 +
                        asciiUpper(static_cast<unsigned char>(b[n - 1]))) &
               255u;
    }

    const std::vector<int> *find(const char *b, std::size_t n) const
    {
        for (std::uint16_t id = heads[bucketOf(b, n)]; id != None; id = next[id]) {
            const Key &k = keys[id];
            if (k.text.size() != n)
                continue;
            if ((k.original.size() == n && std::memcmp(k.original.data(), b, n) == 0) ||
                FoldedKeyEqual()(k.text, std::string_view(b, n)))
                return &k.positions;
        }
        return nullptr;
    }
};

XmlNameSet::XmlNameSet(const QStringList &names)
{
    auto lookup = std::make_shared<Lookup>();
    names_.reserve(std::size_t(names.size()));
    for (const QString &name : names) {
        const QByteArray utf8 = vb::UCase(vb::Trim(name)).toUtf8();
        const std::string_view key(utf8.constData(), std::size_t(utf8.size()));
        auto *at = const_cast<std::vector<int> *>(lookup->find(key.data(), key.size()));
        if (!at) {
            const auto id = std::uint16_t(lookup->keys.size());
            std::uint16_t &head = lookup->heads[Lookup::bucketOf(key.data(), key.size())];
            lookup->next.push_back(head);
            head = id;
            if (key.empty() || key.front() == '#')
                lookup->plainNamesOnly = false;
            const QByteArray original = vb::Trim(name).toUtf8();
            lookup->keys.push_back(
                {std::string(key), std::string(original.constData(), size_t(original.size())), {}});
            at = &lookup->keys.back().positions;
        }
        at->push_back(int(names_.size()));
        names_.push_back(name);
    }
    lookup_ = std::move(lookup);
}

const std::vector<int> *XmlNameSet::match(const char *utf8Name) const
{
    const char *begin = utf8Name;
    while (*begin == ' ')
        ++begin;
    const char *end = begin + std::strlen(begin);
    while (end > begin && end[-1] == ' ')
        --end;
    // Eight bytes at a time: is any of them outside ASCII?
    std::uint64_t high = 0;
    const char *p = begin;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; p < end; ++p)
        high |= static_cast<unsigned char>(*p);
    if ((high & 0x8080808080808080ull) == 0)
        return lookup_->find(begin, std::size_t(end - begin));
    // Unicode case mapping turns some non-ASCII letters into ASCII ones.
    const QByteArray key = vb::UCase(vb::Trim(QString::fromUtf8(utf8Name))).toUtf8();
    return lookup_->find(key.constData(), std::size_t(key.size()));
}

bool XmlNameSet::plainNamesOnly() const
{
    return lookup_->plainNamesOnly;
}

int XmlNameSet::indexOf(const XmlNode &node) const
{
    const std::vector<int> *at = match(node.nodeNameUtf8());
    return at ? at->front() : -1;
}

} // namespace orvane
