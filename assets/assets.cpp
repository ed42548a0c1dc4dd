// The resources themselves are compiled in by qt_add_resources; this unit only gives the
// static library an object of its own.
namespace norak {
int assetsLibraryAnchor() {
    return 0;
}
}  // namespace norak
