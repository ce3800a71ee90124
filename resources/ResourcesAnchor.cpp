// The resource library needs one source of its own; the images and catalogues are added by
// the build as generated resource objects.
namespace hd_resources {
int anchor = 0;
}
