#include "core/data/book.h"

#include "core/base/fileio.h"
#include "core/data/field.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <new>

namespace rekal {

namespace {

// Index slot of a card kind: 1..8 -> 0..7, 17..22 -> 8..13; -1 for no such kind.
int kindSlot(CardKind kind) {
    int k = static_cast<int>(kind);
    if (k >= 1 && k <= 8) return k - 1;
    if (k >= 17 && k <= 22) return k - 17 + 8;
    return -1;
}

// The arena: memory taken from the heap in large chunks and handed out by bumping a pointer, never
// given back before the whole arena goes. Chunks have one size for a load (a large request gets a
// chunk of its own), so the arena never holds more than one chunk it does not use.
class ChunkArena : public std::pmr::memory_resource {
  public:
    explicit ChunkArena(std::size_t chunkSize) : chunkSize_(chunkSize) {}

    std::size_t used = 0;  // bytes taken from the heap
    std::size_t limit = 0; // test hook: more than this many bytes are refused (0 = no limit)

  private:
    void* do_allocate(std::size_t bytes, std::size_t align) override {
        std::size_t pad = (align - reinterpret_cast<std::uintptr_t>(next_) % align) % align;
        if (!next_ || pad + bytes > static_cast<std::size_t>(end_ - next_)) {
            const std::size_t size = std::max(chunkSize_, bytes + align);
            if (limit != 0 && used + size > limit) throw std::bad_alloc();
            chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
            used += size;
            next_ = chunks_.back().get();
            end_ = next_ + size;
            pad = (align - reinterpret_cast<std::uintptr_t>(next_) % align) % align;
        }
        char* p = next_ + pad;
        next_ = p + bytes;
        return p;
    }
    void do_deallocate(void*, std::size_t, std::size_t) override {}
    bool do_is_equal(const memory_resource& other) const noexcept override { return this == &other; }

    std::size_t chunkSize_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

// The position a card would take among the cards of one kind: the number of them at or before it.
std::size_t countAtOrBefore(const std::vector<Card*>& cards, std::uint32_t position) {
    auto it = std::upper_bound(cards.begin(), cards.end(), position,
                               [](std::uint32_t pos, const Card* c) { return pos < c->position; });
    return static_cast<std::size_t>(it - cards.begin());
}

template <class T> const T* castIf(const Card* card, bool matches) {
    return card && matches ? static_cast<const T*>(card) : nullptr;
}

} // namespace

// Everything of one load: the file text (decoded in place, holding most card texts) and the arena
// of the cards and the texts that do not fit in place. Released as a whole.
struct BookArena {
    BookArena(std::string fileText, std::size_t chunkSize) : text(std::move(fileText)), resource(chunkSize) {}

    std::string text;
    ChunkArena resource;
};

int listItemCount(StoredText list) {
    if (list.empty()) return 0;
    std::string_view v = list.view();
    return 1 + static_cast<int>(std::count(v.begin(), v.end(), kListSeparator));
}

std::optional<std::string> listItemAt(StoredText list, int i) {
    if (!list.present() || i < 0) return std::nullopt;
    std::string_view v = list.view();
    std::size_t start = 0;
    for (int skipped = 0; skipped < i; ++skipped) {
        std::size_t sep = v.find(kListSeparator, start);
        if (sep == std::string_view::npos) return std::nullopt;
        start = sep + 1;
    }
    std::size_t end = v.find(kListSeparator, start);
    return std::string(v.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

const TitleCard* asTitle(const Card* card) {
    return castIf<TitleCard>(card, card && card->kind == CardKind::Title);
}
const QuestionCard* asQuestion(const Card* card) {
    return castIf<QuestionCard>(card, card && card->kind == CardKind::Question);
}
const GroupNamesCard* asGroupNames(const Card* card) {
    return castIf<GroupNamesCard>(card, card && card->kind == CardKind::GroupNames);
}
const MessageCard* asMessage(const Card* card) {
    return castIf<MessageCard>(card, card && card->kind == CardKind::Message);
}
const ValueCard* asValue(const Card* card) {
    return castIf<ValueCard>(card, card && isValueCardKind(card->kind));
}
const FontCard* asFont(const Card* card) {
    return castIf<FontCard>(card, card && isFontCardKind(card->kind));
}
const KeptLineCard* asKeptLine(const Card* card) {
    return castIf<KeptLineCard>(card, card && card->kind == CardKind::Comment && card->keptAsRead);
}

FontSpec applyFontCard(const FontSpec& base, const FontCard* card) {
    FontSpec font = base;
    if (!card) return font;
    if (card->size != 0) font.size = card->size;
    if (card->charSet != -1) font.charSet = card->charSet;
    if (!card->face.empty()) font.face = std::string(card->face.view());
    return font;
}

std::string_view defaultGroupName(int g) {
    static constexpr std::string_view names[10] = {"全般", "１", "２", "３", "４",
                                                   "５",   "６", "７", "８", "９"};
    return g >= 0 && g <= 9 ? names[g] : std::string_view();
}

QuestionBook::QuestionBook() = default;
QuestionBook::~QuestionBook() = default;

bool QuestionBook::isLoaded() const {
    return arena_ != nullptr;
}

bool QuestionBook::groupEnabled(int g) const {
    if (g == 0) return true;
    return g >= 1 && g <= 9 && groupFilter_[static_cast<std::size_t>(g - 1)];
}

void QuestionBook::setGroupEnabled(int g, bool on) {
    if (g >= 1 && g <= 9) groupFilter_[static_cast<std::size_t>(g - 1)] = on;
}

void QuestionBook::setExamRange(int first, int last) {
    rangeFirst_ = first;
    rangeLast_ = last;
}

const Card* QuestionBook::firstCard() const {
    return first_;
}
const Card* QuestionBook::lastCard() const {
    return last_;
}
int QuestionBook::cardCount() const {
    return static_cast<int>(cardCount_);
}

int QuestionBook::questionCount() const {
    return static_cast<int>(byKind_[kindSlot(CardKind::Question)].size());
}
int QuestionBook::titleCount() const {
    return static_cast<int>(byKind_[kindSlot(CardKind::Title)].size());
}

const QuestionCard* QuestionBook::questionAt(int n) const {
    const auto& v = byKind_[kindSlot(CardKind::Question)];
    if (n < 0 || static_cast<std::size_t>(n) >= v.size()) return nullptr;
    return static_cast<const QuestionCard*>(v[static_cast<std::size_t>(n)]);
}

const TitleCard* QuestionBook::titleAt(int n) const {
    const auto& v = byKind_[kindSlot(CardKind::Title)];
    if (n < 0 || static_cast<std::size_t>(n) >= v.size()) return nullptr;
    return static_cast<const TitleCard*>(v[static_cast<std::size_t>(n)]);
}

const QuestionCard* QuestionBook::nextQuestion(const Card* card) const {
    if (!card) return nullptr;
    const auto& v = byKind_[kindSlot(CardKind::Question)];
    std::size_t next = card->kind == CardKind::Question ? static_cast<std::size_t>(card->kindIndex) + 1
                                                        : countAtOrBefore(v, card->position);
    return next < v.size() ? static_cast<const QuestionCard*>(v[next]) : nullptr;
}

const Card* QuestionBook::lastOfKindAtOrBefore(const Card* card, CardKind kind) const {
    int slot = kindSlot(kind);
    if (!card || slot < 0) return nullptr;
    if (card->kind == kind) return card;
    const auto& v = byKind_[static_cast<std::size_t>(slot)];
    std::size_t n = countAtOrBefore(v, card->position);
    return n == 0 ? nullptr : v[n - 1];
}

const TitleCard* QuestionBook::enclosingTitle(const Card* card) const {
    return static_cast<const TitleCard*>(lastOfKindAtOrBefore(card, CardKind::Title));
}

int QuestionBook::indexOfKind(const Card* card, CardKind kind) const {
    int slot = kindSlot(kind);
    if (!card || slot < 0) return -1;
    if (card->kind == kind) return card->kindIndex;
    return static_cast<int>(countAtOrBefore(byKind_[static_cast<std::size_t>(slot)], card->position)) - 1;
}

int QuestionBook::countInRange(int first, int last) const {
    const auto& v = byKind_[kindSlot(CardKind::Question)];
    if (first < 0) first = 0;
    if (last >= static_cast<int>(v.size())) last = static_cast<int>(v.size()) - 1;
    int count = 0;
    for (int i = first; i <= last; ++i) {
        if (groupEnabled(static_cast<const QuestionCard*>(v[static_cast<std::size_t>(i)])->group)) ++count;
    }
    return count;
}

std::optional<std::string> QuestionBook::groupName(int g) const {
    if (g < 0 || g > 9) return std::nullopt;
    const StoredText& named = groupNames_[static_cast<std::size_t>(g)];
    return std::string(named.empty() ? defaultGroupName(g) : named.view());
}

int QuestionBook::hintCount(const QuestionCard* q) const {
    return q ? listItemCount(q->hints) : 0;
}
std::optional<std::string> QuestionBook::hintAt(const QuestionCard* q, int i) const {
    return q ? listItemAt(q->hints, i) : std::nullopt;
}
int QuestionBook::answerCount(const QuestionCard* q) const {
    return q ? listItemCount(q->answers) : 0;
}
std::optional<std::string> QuestionBook::answerAt(const QuestionCard* q, int i) const {
    return q ? listItemAt(q->answers, i) : std::nullopt;
}
int QuestionBook::wrongChoiceCount(const QuestionCard* q) const {
    return q ? listItemCount(q->wrongChoices) : 0;
}
std::optional<std::string> QuestionBook::wrongChoiceAt(const QuestionCard* q, int i) const {
    return q ? listItemAt(q->wrongChoices, i) : std::nullopt;
}
std::optional<std::string> QuestionBook::displayAnswer(const QuestionCard* q) const {
    return q ? listItemAt(q->answers, q->displayIndex) : std::nullopt;
}

int QuestionBook::valueInEffect(const Card* card, CardKind kind) const {
    if (!isValueCardKind(kind)) return -1;
    const Card* found = lastOfKindAtOrBefore(card, kind);
    return found ? static_cast<const ValueCard*>(found)->value : -1;
}

const FontCard* QuestionBook::fontInEffect(const Card* card, FontClass textClass) const {
    if (textClass < TitleFont || textClass >= kStoredFontCount) return nullptr;
    return static_cast<const FontCard*>(lastOfKindAtOrBefore(card, fontCardKind(textClass)));
}

CompareOptions QuestionBook::compareOptionsFor(const QuestionCard* q) const {
    const TitleCard* title = enclosingTitle(q);
    return title ? title->compareOptions : kAllCompareOptions;
}

QuestionCard* QuestionBook::ownQuestion(const QuestionCard* q) {
    if (!q || q->kind != CardKind::Question) return nullptr;
    auto& v = byKind_[kindSlot(CardKind::Question)];
    if (q->kindIndex < 0 || static_cast<std::size_t>(q->kindIndex) >= v.size()) return nullptr;
    Card* own = v[static_cast<std::size_t>(q->kindIndex)];
    return own == q ? static_cast<QuestionCard*>(own) : nullptr;
}

bool QuestionBook::setHistory(const QuestionCard* q, AnswerHistory h) {
    QuestionCard* own = ownQuestion(q);
    if (!own || h < 0 || h > kMaxHistory) return false;
    own->history = static_cast<std::uint8_t>(h);
    return true;
}

void QuestionBook::recordResult(const QuestionCard* q, Verdict verdict) {
    if (verdict != Verdict::Right && verdict != Verdict::Wrong) return;
    QuestionCard* own = ownQuestion(q);
    if (!own) return;
    own->history = static_cast<std::uint8_t>(historyAfter(own->history, verdict));
    if (own->sessionResults < kHistoryLength) ++own->sessionResults;
    dirty_ = true;
}

void QuestionBook::clearHistories() {
    if (!isLoaded()) return;
    for (Card* c : byKind_[kindSlot(CardKind::Question)]) {
        auto* q = static_cast<QuestionCard*>(c);
        q->history = 0;
        q->sessionResults = kHistoryLength;
    }
    dirty_ = true;
}

bool QuestionBook::shiftInResults(const QuestionCard* q, AnswerHistory source, int count) {
    QuestionCard* own = ownQuestion(q);
    if (!own || count <= 0) return own != nullptr;
    count = std::min(count, kHistoryLength);
    own->history = static_cast<std::uint8_t>(historyWithResultsOf(own->history, source & kMaxHistory, count));
    own->sessionResults = static_cast<std::uint8_t>(std::min(own->sessionResults + count, kHistoryLength));
    dirty_ = true;
    return true;
}

void QuestionBook::forgetSessionResults() {
    for (Card* c : byKind_[kindSlot(CardKind::Question)])
        static_cast<QuestionCard*>(c)->sessionResults = 0;
}

void QuestionBook::adoptCards(QuestionBook& other) {
    arena_ = std::move(other.arena_);
    first_ = other.first_;
    last_ = other.last_;
    cardCount_ = other.cardCount_;
    byKind_ = std::move(other.byKind_);
    groupNames_ = other.groupNames_;
    version_ = other.version_;
    encoding_ = other.encoding_;
    dirty_ = true;
    const int count = questionCount();
    rangeLast_ = std::min(rangeLast_, count - 1);
    if (rangeFirst_ > rangeLast_) rangeFirst_ = 0;
    other.discard();
}

void QuestionBook::setFile(std::filesystem::path file) {
    if (file != file_) stamp_.reset();
    file_ = std::move(file);
    path_ = file_.empty() ? std::string() : storablePath(file_).value_or(std::string());
}

void QuestionBook::discard() {
    for (auto& v : byKind_)
        std::vector<Card*>().swap(v);
    first_ = last_ = nullptr;
    cardCount_ = 0;
    groupNames_ = {};
    version_ = 0;
    encoding_ = TextEncoding::Cp932;
    dirty_ = false;
    rangeFirst_ = 0;
    rangeLast_ = -1;
    stamp_.reset();
    arena_.reset();
}

std::size_t QuestionBook::memoryUsed() const {
    if (!arena_) return 0;
    std::size_t bytes = arena_->resource.used + arena_->text.capacity();
    for (const auto& v : byKind_)
        bytes += v.capacity() * sizeof(Card*);
    return bytes;
}

BookBuilder::BookBuilder(QuestionBook& book, int version, std::string fileText, TextEncoding encoding)
    : book_(book), space_(std::make_unique<ReaderSpace>()) {
    book.discard();
    // Chunks of about a sixteenth of the file: few of them, and little left unused in the last.
    const std::size_t chunkSize = std::clamp<std::size_t>(fileText.size() / 16, 16 * 1024, 4 * 1024 * 1024);
    book.arena_ = std::make_unique<BookArena>(std::move(fileText), chunkSize);
    book.version_ = version;
    book.encoding_ = encoding;
}

BookBuilder::~BookBuilder() = default;

char* BookBuilder::text() const {
    return book_.arena_->text.data();
}
std::size_t BookBuilder::textSize() const {
    return book_.arena_->text.size();
}

void* BookBuilder::allocate(std::size_t size, std::size_t align) {
    try {
        return book_.arena_->resource.allocate(size, align);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const char* BookBuilder::copyText(std::string_view bytes) {
    char* p = static_cast<char*>(allocate(bytes.size() + 1, 1));
    if (!p) return nullptr;
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    p[bytes.size()] = '\0';
    return p;
}

void BookBuilder::append(Card* card) {
    QuestionBook& b = book_;
    card->prev = b.last_;
    card->next = nullptr;
    if (b.last_)
        b.last_->next = card;
    else
        b.first_ = card;
    b.last_ = card;
    card->position = b.cardCount_++;
    auto& sameKind = b.byKind_[static_cast<std::size_t>(kindSlot(card->kind))];
    card->kindIndex = static_cast<std::int32_t>(sameKind.size());
    sameKind.push_back(card);
}

void BookBuilder::commit() {
    QuestionBook& b = book_;
    for (const Card* c : b.byKind_[kindSlot(CardKind::GroupNames)]) {
        const auto* names = static_cast<const GroupNamesCard*>(c);
        for (std::size_t g = 0; g < 10; ++g) {
            if (b.groupNames_[g].empty() && !names->names[g].empty()) b.groupNames_[g] = names->names[g];
        }
    }
    b.rangeFirst_ = 0;
    b.rangeLast_ = b.questionCount() - 1;
    b.groupFilter_.fill(true);
    b.dirty_ = false;
}

void BookBuilder::limitArenaForTesting(std::size_t bytes) {
    book_.arena_->resource.limit = bytes;
}

void HintPager::step(int delta) {
    if (count <= 0) return;
    int p = position + delta;
    if (p < 0)
        p = count - 1;
    else if (p >= count)
        p = 0;
    position = p;
}

bool HintPager::show(int n) {
    if (n < 0 || n >= count) return false;
    position = n;
    return true;
}

std::string HintPager::counterText() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d / %d", position + 1, count);
    return buffer;
}

} // namespace rekal
