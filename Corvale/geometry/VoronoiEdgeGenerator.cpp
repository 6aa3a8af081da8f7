// Fortune's sweep over sites sorted by y. The beach line is a doubly linked
// list of half-edges between two sentinels. The half-edge left of a new site
// is first looked for from a hash over x of 2·sqrt(n + 4) buckets, each
// remembering a half-edge near it, with a short walk along the line: for
// evenly spread sites that is the quickest way. Where the sites crowd (a
// tight cluster, as real point layers have) a bucket covers many half-edges
// and the walk would grow with them; past a few steps the search goes
// through a balanced tree kept over the same half-edges in the same order.
// Circle events wait in a binary heap ordered by their sweep position. The
// sweep thus takes n log n time however the sites are spread.

#include "geometry/VoronoiEdgeGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace {

constexpr int kLeft = 0;
constexpr int kRight = 1;

struct Site {
    double x;
    double y;
    int number;
    int refCount;
};

struct Edge {
    double a;
    double b;
    double c;
    Site* ends[2];
    Site* regions[2];
    int number;
};

struct HalfEdge {
    // Neighbours on the beach line.
    HalfEdge* left;
    HalfEdge* right;
    // The search tree over the beach line (a treap: in beach-line order,
    // and every node's priority at least its children's).
    HalfEdge* parent;
    HalfEdge* child[2];
    Edge* edge;
    // Hash buckets pointing at the half-edge: it is freed when it has left
    // the beach line and none does any more.
    int refCount;
    Site* vertex;
    // The sweep position of the queued circle event: the vertex's y plus
    // its distance to the sites.
    double ystar;
    // When the event was queued, to order events at one position and
    // vertex x: the later one goes first.
    std::uint64_t queued;
    std::uint32_t priority;
    int side;
    // Place in the event heap; kNotQueued without a queued event.
    std::size_t heapIndex;
};

constexpr std::size_t kNotQueued = ~std::size_t{0};

// Nodes handed out from blocks of a fixed count; a returned node goes to
// the head of the list and is reused before a new block is taken. Nothing
// goes back to the system before the list itself goes.
template <typename T> class FreeList {
public:
    explicit FreeList(std::size_t blockCount) : m_BlockCount(blockCount) {}
    T* Get() {
        if (m_Head == nullptr) {
            m_Blocks.emplace_back(new Node[m_BlockCount]);
            Node* block = m_Blocks.back().get();
            for (std::size_t i = 0; i < m_BlockCount; ++i) {
                block[i].next = m_Head;
                m_Head = &block[i];
            }
        }
        Node* node = m_Head;
        m_Head = node->next;
        return &node->value;
    }
    void Put(T* value) {
        Node* node = reinterpret_cast<Node*>(value);
        node->next = m_Head;
        m_Head = node;
    }

private:
    union Node {
        T value;
        Node* next;
    };
    std::size_t m_BlockCount;
    Node* m_Head = nullptr;
    std::vector<std::unique_ptr<Node[]>> m_Blocks;
};

// A hash bucket from a position and the extent it is spread over. Sites on
// one line leave an extent of 0 and the quotient infinite or NaN; it is
// clamped into the table before it becomes an integer.
int Bucket(double offset, double extent, int size) {
    const double b = offset / extent * size;
    if (!(b >= 0.0))
        return 0;
    if (b >= static_cast<double>(size - 1))
        return size - 1;
    return static_cast<int>(b);
}

// How far the hash-led search looks before it asks the tree: buckets on
// each side of the site's own, and steps along the beach line.
constexpr int kBucketReach = 16;
constexpr int kWalkSteps = 24;

} // namespace

struct VoronoiEdgeGenerator::Sweep {
    Sweep(std::vector<VoronoiSegment>& out, std::size_t blockCount)
        : segments(out), vertices(blockCount), edges(blockCount), halfEdges(blockCount) {}

    std::vector<VoronoiSegment>& segments;
    std::vector<Site> sites;
    std::size_t nextSite = 0;
    Site* bottomSite = nullptr;

    double xmin = 0.0, deltax = 0.0;
    double boxMinX = 0.0, boxMaxX = 0.0, boxMinY = 0.0, boxMaxY = 0.0;
    double minDist = 0.0;
    int edgeCount = 0;
    int vertexCount = 0;

    FreeList<Site> vertices;
    FreeList<Edge> edges;
    FreeList<HalfEdge> halfEdges;

    // Marks a half-edge taken off the beach line while a hash bucket may
    // still point at it.
    Edge deleted{};

    // The beach line: the sentinels stay out of the tree, and hold the
    // hash's first and last buckets.
    std::vector<HalfEdge*> beachHash;
    HalfEdge* leftEnd = nullptr;
    HalfEdge* rightEnd = nullptr;
    HalfEdge* root = nullptr;
    // Tree priorities from a fixed sequence: the tree's shape, never its
    // order, depends on them, and a run is the same every time.
    std::uint32_t priorityState = 0x9E3779B9u;

    // The circle events, earliest first.
    std::vector<HalfEdge*> heap;
    std::uint64_t queuedCount = 0;

    // ---- sites ----

    bool IsVertex(const Site* s) const {
        return sites.empty() || s < sites.data() || s >= sites.data() + sites.size();
    }
    void Ref(Site* s) { ++s->refCount; }
    void Deref(Site* s) {
        // The caller's sites live in their array for the whole run; only
        // vertices go back to their free list.
        if (--s->refCount == 0 && IsVertex(s))
            vertices.Put(s);
    }
    Site* NextSite() {
        while (nextSite < sites.size()) {
            Site* s = &sites[nextSite++];
            // One location, one site: the sort puts the lowest number first.
            if (nextSite >= 2 && s->x == sites[nextSite - 2].x && s->y == sites[nextSite - 2].y)
                continue;
            return s;
        }
        return nullptr;
    }

    // ---- edges ----

    Edge* Bisect(Site* s1, Site* s2) {
        Edge* e = edges.Get();
        e->regions[0] = s1;
        e->regions[1] = s2;
        Ref(s1);
        Ref(s2);
        e->ends[0] = nullptr;
        e->ends[1] = nullptr;
        const double dx = s2->x - s1->x;
        const double dy = s2->y - s1->y;
        e->c = s1->x * dx + s1->y * dy + (dx * dx + dy * dy) * 0.5;
        if (std::fabs(dx) > std::fabs(dy)) {
            e->a = 1.0;
            e->b = dy / dx;
            e->c /= dx;
        } else {
            e->b = 1.0;
            e->a = dx / dy;
            e->c /= dy;
        }
        e->number = edgeCount++;
        return e;
    }

    // Sets one end of an edge; with both ends set the edge is output and
    // goes back to its free list.
    void SetEndpoint(Edge* e, int side, Site* s) {
        e->ends[side] = s;
        Ref(s);
        if (e->ends[kRight - side] == nullptr)
            return;
        ClipAndOutput(e);
        Deref(e->regions[0]);
        Deref(e->regions[1]);
        Deref(e->ends[0]);
        Deref(e->ends[1]);
        edges.Put(e);
    }

    bool Inside(const Site* s) const {
        return s->x >= boxMinX && s->x <= boxMaxX && s->y >= boxMinY && s->y <= boxMaxY;
    }

    void ClipAndOutput(const Edge* e) {
        const Site* r0 = e->regions[0];
        const Site* r1 = e->regions[1];
        if (minDist > 0.0 && std::hypot(r1->x - r0->x, r1->y - r0->y) < minDist)
            return;
        const Site* s1;
        const Site* s2;
        if (e->a == 1.0 && e->b >= 0.0) {
            s1 = e->ends[1];
            s2 = e->ends[0];
        } else {
            s1 = e->ends[0];
            s2 = e->ends[1];
        }
        double x1, y1, x2, y2;
        if (e->a == 1.0) {
            y1 = boxMinY;
            if (s1 != nullptr && s1->y > boxMinY)
                y1 = s1->y;
            if (y1 > boxMaxY)
                return;
            x1 = e->c - e->b * y1;
            y2 = boxMaxY;
            if (s2 != nullptr && s2->y < boxMaxY)
                y2 = s2->y;
            if (y2 < boxMinY)
                return;
            x2 = e->c - e->b * y2;
            if ((x1 > boxMaxX && x2 > boxMaxX) || (x1 < boxMinX && x2 < boxMinX))
                return;
            if (x1 > boxMaxX) {
                x1 = boxMaxX;
                y1 = (e->c - x1) / e->b;
            }
            if (x1 < boxMinX) {
                x1 = boxMinX;
                y1 = (e->c - x1) / e->b;
            }
            if (x2 > boxMaxX) {
                x2 = boxMaxX;
                y2 = (e->c - x2) / e->b;
            }
            if (x2 < boxMinX) {
                x2 = boxMinX;
                y2 = (e->c - x2) / e->b;
            }
        } else {
            x1 = boxMinX;
            if (s1 != nullptr && s1->x > boxMinX)
                x1 = s1->x;
            if (x1 > boxMaxX)
                return;
            y1 = e->c - e->a * x1;
            x2 = boxMaxX;
            if (s2 != nullptr && s2->x < boxMaxX)
                x2 = s2->x;
            if (x2 < boxMinX)
                return;
            y2 = e->c - e->a * x2;
            if ((y1 > boxMaxY && y2 > boxMaxY) || (y1 < boxMinY && y2 < boxMinY))
                return;
            if (y1 > boxMaxY) {
                y1 = boxMaxY;
                x1 = (e->c - y1) / e->a;
            }
            if (y1 < boxMinY) {
                y1 = boxMinY;
                x1 = (e->c - y1) / e->a;
            }
            if (y2 > boxMaxY) {
                y2 = boxMaxY;
                x2 = (e->c - y2) / e->a;
            }
            if (y2 < boxMinY) {
                y2 = boxMinY;
                x2 = (e->c - y2) / e->a;
            }
        }
        // A vertex inside the box is taken as computed, not again from the
        // line's equation: every edge that meets there then ends on exactly
        // the same point, and the cells close without a tolerance.
        if (s1 != nullptr && Inside(s1)) {
            x1 = s1->x;
            y1 = s1->y;
        }
        if (s2 != nullptr && Inside(s2)) {
            x2 = s2->x;
            y2 = s2->y;
        }
        if (x1 == x2 && y1 == y2)
            return;
        // An edge that leaves the box from a vertex lying exactly on its
        // border keeps only the rounding error between the vertex and the
        // point computed from the line: a sliver along the border, which the
        // border pieces already cover.
        if ((x1 == x2 && (x1 == boxMinX || x1 == boxMaxX)) || (y1 == y2 && (y1 == boxMinY || y1 == boxMaxY)))
            return;
        segments.push_back({x1, y1, x2, y2, r0->number, r1->number});
    }

    // ---- beach line ----

    HalfEdge* CreateHalfEdge(Edge* e, int side) {
        HalfEdge* he = halfEdges.Get();
        he->left = nullptr;
        he->right = nullptr;
        he->parent = nullptr;
        he->child[0] = nullptr;
        he->child[1] = nullptr;
        he->edge = e;
        he->refCount = 0;
        he->vertex = nullptr;
        he->ystar = 0.0;
        he->queued = 0;
        he->priority = 0;
        he->side = side;
        he->heapIndex = kNotQueued;
        return he;
    }

    void InitBeachLine() {
        const int size = static_cast<int>(beachHash.size());
        std::fill(beachHash.begin(), beachHash.end(), nullptr);
        leftEnd = CreateHalfEdge(nullptr, kLeft);
        rightEnd = CreateHalfEdge(nullptr, kLeft);
        leftEnd->right = rightEnd;
        rightEnd->left = leftEnd;
        beachHash[0] = leftEnd;
        beachHash[size - 1] = rightEnd;
        root = nullptr;
    }

    std::uint32_t NextPriority() {
        // xorshift32
        std::uint32_t x = priorityState;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        priorityState = x;
        return x;
    }

    // Turns x about its parent, x taking the parent's place.
    void Rotate(HalfEdge* x) {
        HalfEdge* p = x->parent;
        HalfEdge* g = p->parent;
        const int dir = p->child[1] == x ? 1 : 0;
        HalfEdge* inner = x->child[1 - dir];
        p->child[dir] = inner;
        if (inner != nullptr)
            inner->parent = p;
        x->child[1 - dir] = p;
        p->parent = x;
        x->parent = g;
        if (g == nullptr)
            root = x;
        else
            g->child[g->child[1] == p ? 1 : 0] = x;
    }

    // Puts he on the beach line right after lb (a sentinel or a half-edge
    // on it), in the list and in the tree.
    void InsertAfter(HalfEdge* lb, HalfEdge* he) {
        he->left = lb;
        he->right = lb->right;
        lb->right->left = he;
        lb->right = he;
        he->child[0] = nullptr;
        he->child[1] = nullptr;
        he->priority = NextPriority();
        if (root == nullptr) {
            he->parent = nullptr;
            root = he;
            return;
        }
        // In the tree he follows lb: as lb's right child when lb has none,
        // else as the left child of lb's successor, the first node of lb's
        // right subtree, which has no left child. Left of everything, he
        // goes left of the first node.
        if (lb != leftEnd && lb->child[1] == nullptr) {
            lb->child[1] = he;
            he->parent = lb;
        } else {
            HalfEdge* next = he->right;
            next->child[0] = he;
            he->parent = next;
        }
        while (he->parent != nullptr && he->parent->priority < he->priority)
            Rotate(he);
    }

    // Takes he off the beach line; it goes back to its free list once no
    // hash bucket points at it.
    void Delete(HalfEdge* he) {
        he->left->right = he->right;
        he->right->left = he->left;
        while (he->child[0] != nullptr && he->child[1] != nullptr)
            Rotate(he->child[0]->priority > he->child[1]->priority ? he->child[0] : he->child[1]);
        HalfEdge* only = he->child[0] != nullptr ? he->child[0] : he->child[1];
        if (only != nullptr)
            only->parent = he->parent;
        if (he->parent == nullptr)
            root = only;
        else
            he->parent->child[he->parent->child[1] == he ? 1 : 0] = only;
        he->edge = &deleted;
        if (he->refCount == 0)
            halfEdges.Put(he);
    }

    HalfEdge* BucketEntry(int b) {
        if (b < 0 || b >= static_cast<int>(beachHash.size()))
            return nullptr;
        HalfEdge* he = beachHash[b];
        if (he == nullptr || he->edge != &deleted)
            return he;
        // The bucket points at a half-edge gone from the beach line.
        beachHash[b] = nullptr;
        if (--he->refCount == 0)
            halfEdges.Put(he);
        return nullptr;
    }

    // Whether p lies to the right of the half-edge's breakpoint.
    static bool RightOf(const HalfEdge* el, double px, double py) {
        const Edge* e = el->edge;
        const Site* top = e->regions[1];
        const bool rightOfSite = px > top->x;
        if (rightOfSite && el->side == kLeft)
            return true;
        if (!rightOfSite && el->side == kRight)
            return false;
        bool above;
        if (e->a == 1.0) {
            const double dyp = py - top->y;
            const double dxp = px - top->x;
            bool fast = false;
            if ((!rightOfSite && e->b < 0.0) || (rightOfSite && e->b >= 0.0)) {
                above = dyp >= e->b * dxp;
                fast = above;
            } else {
                above = px + py * e->b > e->c;
                if (e->b < 0.0)
                    above = !above;
                if (!above)
                    fast = true;
            }
            if (!fast) {
                const double dxs = top->x - e->regions[0]->x;
                above = e->b * (dxp * dxp - dyp * dyp) <
                        dxs * dyp * (1.0 + 2.0 * dxp / dxs + e->b * e->b);
                if (e->b < 0.0)
                    above = !above;
            }
        } else {
            const double yl = e->c - e->a * px;
            const double t1 = py - yl;
            const double t2 = px - top->x;
            const double t3 = yl - top->y;
            above = t1 * t1 > t2 * t2 + t3 * t3;
        }
        return el->side == kLeft ? above : !above;
    }

    // The half-edge immediately left of p on the beach line: the last one
    // that p lies right of, or the left sentinel. Along the beach line the
    // breakpoints run left to right, so any start leads to it: the hash's
    // bucket when a short walk from there reaches it, else the tree.
    HalfEdge* LeftBound(double px, double py) {
        const int size = static_cast<int>(beachHash.size());
        const int bucket = Bucket(px - xmin, deltax, size);
        HalfEdge* he = Walk(bucket, px, py);
        if (he == nullptr)
            he = Descend(px, py);
        if (bucket > 0 && bucket < size - 1) {
            if (beachHash[bucket] != nullptr)
                --beachHash[bucket]->refCount;
            beachHash[bucket] = he;
            ++he->refCount;
        }
        return he;
    }

    // From the nearest filled bucket along the beach line; null when that
    // bucket or the answer lies further than a few steps away.
    HalfEdge* Walk(int bucket, double px, double py) {
        HalfEdge* he = BucketEntry(bucket);
        for (int i = 1; he == nullptr; ++i) {
            if (i > kBucketReach)
                return nullptr;
            if ((he = BucketEntry(bucket - i)) != nullptr)
                break;
            he = BucketEntry(bucket + i);
        }
        int steps = 0;
        if (he == leftEnd || (he != rightEnd && RightOf(he, px, py))) {
            do {
                he = he->right;
                if (++steps > kWalkSteps)
                    return nullptr;
            } while (he != rightEnd && RightOf(he, px, py));
            return he->left;
        }
        do {
            he = he->left;
            if (++steps > kWalkSteps)
                return nullptr;
        } while (he != leftEnd && !RightOf(he, px, py));
        return he;
    }

    HalfEdge* Descend(double px, double py) const {
        HalfEdge* found = leftEnd;
        for (HalfEdge* he = root; he != nullptr;) {
            if (RightOf(he, px, py)) {
                found = he;
                he = he->child[1];
            } else {
                he = he->child[0];
            }
        }
        return found;
    }

    Site* LeftRegion(const HalfEdge* he) const {
        if (he->edge == nullptr)
            return bottomSite;
        return he->side == kLeft ? he->edge->regions[kLeft] : he->edge->regions[kRight];
    }
    Site* RightRegion(const HalfEdge* he) const {
        if (he->edge == nullptr)
            return bottomSite;
        return he->side == kLeft ? he->edge->regions[kRight] : he->edge->regions[kLeft];
    }

    // The vertex where the two half-edges' edges meet, when both half-edges
    // reach it; null otherwise.
    Site* Intersect(const HalfEdge* el1, const HalfEdge* el2) {
        const Edge* e1 = el1->edge;
        const Edge* e2 = el2->edge;
        if (e1 == nullptr || e2 == nullptr)
            return nullptr;
        if (e1->regions[1] == e2->regions[1])
            return nullptr;
        const double d = e1->a * e2->b - e1->b * e2->a;
        if (-1.0e-10 < d && d < 1.0e-10)
            return nullptr;
        const double xint = (e1->c * e2->b - e2->c * e1->b) / d;
        const double yint = (e2->c * e1->a - e1->c * e2->a) / d;
        const HalfEdge* el;
        const Edge* e;
        const Site* r1 = e1->regions[1];
        const Site* r2 = e2->regions[1];
        if (r1->y < r2->y || (r1->y == r2->y && r1->x < r2->x)) {
            el = el1;
            e = e1;
        } else {
            el = el2;
            e = e2;
        }
        const bool rightOfSite = xint >= e->regions[1]->x;
        if ((rightOfSite && el->side == kLeft) || (!rightOfSite && el->side == kRight))
            return nullptr;
        Site* v = vertices.Get();
        v->refCount = 0;
        v->number = -1;
        v->x = xint;
        v->y = yint;
        return v;
    }

    // ---- event queue ----

    // Events in the order of their sweep position, then of their vertex's
    // x; of events equal in both, the one queued last comes first.
    static bool Earlier(const HalfEdge* a, const HalfEdge* b) {
        if (a->ystar != b->ystar)
            return a->ystar < b->ystar;
        if (a->vertex->x != b->vertex->x)
            return a->vertex->x < b->vertex->x;
        return a->queued > b->queued;
    }

    void Place(HalfEdge* he, std::size_t at) {
        heap[at] = he;
        he->heapIndex = at;
    }

    void SiftUp(std::size_t at) {
        HalfEdge* he = heap[at];
        while (at > 0) {
            const std::size_t parent = (at - 1) / 2;
            if (!Earlier(he, heap[parent]))
                break;
            Place(heap[parent], at);
            at = parent;
        }
        Place(he, at);
    }

    void SiftDown(std::size_t at) {
        HalfEdge* he = heap[at];
        const std::size_t size = heap.size();
        for (;;) {
            std::size_t child = 2 * at + 1;
            if (child >= size)
                break;
            if (child + 1 < size && Earlier(heap[child + 1], heap[child]))
                ++child;
            if (!Earlier(heap[child], he))
                break;
            Place(heap[child], at);
            at = child;
        }
        Place(he, at);
    }

    void QueueInsert(HalfEdge* he, Site* v, double offset) {
        he->vertex = v;
        Ref(v);
        he->ystar = v->y + offset;
        he->queued = queuedCount++;
        heap.push_back(he);
        SiftUp(heap.size() - 1);
    }

    // Takes the half-edge's event, if it has one, out of the queue.
    void QueueDelete(HalfEdge* he) {
        if (he->vertex == nullptr)
            return;
        const std::size_t at = he->heapIndex;
        HalfEdge* last = heap.back();
        heap.pop_back();
        if (last != he) {
            Place(last, at);
            if (at > 0 && Earlier(last, heap[(at - 1) / 2]))
                SiftUp(at);
            else
                SiftDown(at);
        }
        he->heapIndex = kNotQueued;
        Deref(he->vertex);
        he->vertex = nullptr;
    }

    const HalfEdge* QueueMin() const { return heap.front(); }

    // The earliest event's half-edge, out of the queue; it keeps its
    // vertex for the caller.
    HalfEdge* QueueExtractMin() {
        HalfEdge* first = heap.front();
        HalfEdge* last = heap.back();
        heap.pop_back();
        if (last != first) {
            Place(last, 0);
            SiftDown(0);
        }
        first->heapIndex = kNotQueued;
        return first;
    }

    static double Distance(const Site* s, const Site* t) { return std::hypot(s->x - t->x, s->y - t->y); }

    // ---- the sweep ----

    void Run() {
        bottomSite = NextSite();
        InitBeachLine();
        Site* newSite = NextSite();
        double minX = 0.0, minY = 0.0;
        for (;;) {
            if (!heap.empty()) {
                const HalfEdge* m = QueueMin();
                minX = m->vertex->x;
                minY = m->ystar;
            }
            if (newSite != nullptr &&
                (heap.empty() || newSite->y < minY || (newSite->y == minY && newSite->x < minX))) {
                SiteEvent(newSite);
                newSite = NextSite();
            } else if (!heap.empty()) {
                CircleEvent();
            } else {
                break;
            }
        }
        // Both halves of an edge may still be on the beach line; the edge
        // is output once.
        for (HalfEdge* he = leftEnd->right; he != rightEnd; he = he->right) {
            if (he->edge->number < 0)
                continue;
            ClipAndOutput(he->edge);
            he->edge->number = -1;
        }
    }

    void SiteEvent(Site* s) {
        HalfEdge* lbnd = LeftBound(s->x, s->y);
        HalfEdge* rbnd = lbnd->right;
        Site* bot = RightRegion(lbnd);
        Edge* e = Bisect(bot, s);
        HalfEdge* bisector = CreateHalfEdge(e, kLeft);
        InsertAfter(lbnd, bisector);
        if (Site* p = Intersect(lbnd, bisector)) {
            QueueDelete(lbnd);
            QueueInsert(lbnd, p, Distance(p, s));
        }
        lbnd = bisector;
        bisector = CreateHalfEdge(e, kRight);
        InsertAfter(lbnd, bisector);
        if (Site* p = Intersect(bisector, rbnd))
            QueueInsert(bisector, p, Distance(p, s));
    }

    void CircleEvent() {
        HalfEdge* lbnd = QueueExtractMin();
        HalfEdge* llbnd = lbnd->left;
        HalfEdge* rbnd = lbnd->right;
        HalfEdge* rrbnd = rbnd->right;
        Site* bot = LeftRegion(lbnd);
        Site* top = RightRegion(rbnd);
        Site* v = lbnd->vertex;
        v->number = vertexCount++;
        SetEndpoint(lbnd->edge, lbnd->side, v);
        SetEndpoint(rbnd->edge, rbnd->side, v);
        Delete(lbnd);
        QueueDelete(rbnd);
        Delete(rbnd);
        int side = kLeft;
        if (bot->y > top->y) {
            std::swap(bot, top);
            side = kRight;
        }
        Edge* e = Bisect(bot, top);
        HalfEdge* bisector = CreateHalfEdge(e, side);
        InsertAfter(llbnd, bisector);
        SetEndpoint(e, kRight - side, v);
        // The queue's hold on the vertex ends here; the edges keep it.
        Deref(v);
        if (Site* p = Intersect(llbnd, bisector)) {
            QueueDelete(llbnd);
            QueueInsert(llbnd, p, Distance(p, bot));
        }
        if (Site* p = Intersect(bisector, rrbnd))
            QueueInsert(bisector, p, Distance(p, bot));
    }

    // ---- the border ----

    void AddBorderPieces() {
        std::vector<double> bottom{boxMinX, boxMaxX}, top{boxMinX, boxMaxX};
        std::vector<double> left{boxMinY, boxMaxY}, right{boxMinY, boxMaxY};
        for (const VoronoiSegment& s : segments) {
            if (s.y1 == boxMinY)
                bottom.push_back(s.x1);
            else if (s.y2 == boxMinY)
                bottom.push_back(s.x2);
            if (s.y1 == boxMaxY)
                top.push_back(s.x1);
            else if (s.y2 == boxMaxY)
                top.push_back(s.x2);
            if (s.x1 == boxMinX)
                left.push_back(s.y1);
            else if (s.x2 == boxMinX)
                left.push_back(s.y2);
            if (s.x1 == boxMaxX)
                right.push_back(s.y1);
            else if (s.x2 == boxMaxX)
                right.push_back(s.y2);
        }
        const auto emit = [this](std::vector<double>& positions, bool horizontal, double at) {
            std::sort(positions.begin(), positions.end());
            for (std::size_t i = 1; i < positions.size(); ++i) {
                const double p = positions[i - 1];
                const double q = positions[i];
                if (p == q)
                    continue;
                if (horizontal)
                    segments.push_back({p, at, q, at, -1, -1});
                else
                    segments.push_back({at, p, at, q, -1, -1});
            }
        };
        emit(bottom, true, boxMinY);
        emit(right, false, boxMaxX);
        emit(top, true, boxMaxY);
        emit(left, false, boxMinX);
    }
};

VoronoiEdgeGenerator::VoronoiEdgeGenerator() = default;
VoronoiEdgeGenerator::~VoronoiEdgeGenerator() = default;

void VoronoiEdgeGenerator::Release() {
    std::vector<VoronoiSegment>().swap(m_Segments);
    std::vector<int>().swap(m_SiteOrder);
}

bool VoronoiEdgeGenerator::GenerateVoronoiEdges(const double* xs, const double* ys, int n, double minX,
                                                double maxX, double minY, double maxY, double minDist) {
    Release();
    if (n < 0 || (n > 0 && (xs == nullptr || ys == nullptr)))
        return false;
    if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY))
        return false;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
            return false;
    try {
        const int sqrtN = static_cast<int>(std::sqrt(static_cast<double>(n) + 4.0));
        Sweep sweep(m_Segments, static_cast<std::size_t>(sqrtN));
        sweep.minDist = minDist;
        if (minX > maxX)
            std::swap(minX, maxX);
        if (minY > maxY)
            std::swap(minY, maxY);
        sweep.boxMinX = minX;
        sweep.boxMaxX = maxX;
        sweep.boxMinY = minY;
        sweep.boxMaxY = maxY;
        if (n > 0) {
            sweep.sites.resize(static_cast<std::size_t>(n));
            double xmax = xs[0];
            sweep.xmin = xs[0];
            for (int i = 0; i < n; ++i) {
                sweep.sites[i] = {xs[i], ys[i], i, 0};
                if (xs[i] < sweep.xmin)
                    sweep.xmin = xs[i];
                else if (xs[i] > xmax)
                    xmax = xs[i];
            }
            std::sort(sweep.sites.begin(), sweep.sites.end(), [](const Site& a, const Site& b) {
                if (a.y != b.y)
                    return a.y < b.y;
                if (a.x != b.x)
                    return a.x < b.x;
                return a.number < b.number;
            });
            m_SiteOrder.resize(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                m_SiteOrder[i] = sweep.sites[i].number;
            sweep.deltax = xmax - sweep.xmin;
            sweep.beachHash.assign(static_cast<std::size_t>(2 * sqrtN), nullptr);
            sweep.heap.reserve(static_cast<std::size_t>(sqrtN) * 4);
            // Roughly three edges per site, each a segment at most.
            m_Segments.reserve(static_cast<std::size_t>(n) * 3 + 4 * static_cast<std::size_t>(sqrtN) + 8);
            sweep.Run();
        }
        sweep.AddBorderPieces();
        return true;
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
}
