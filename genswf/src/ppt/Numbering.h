#pragma once
// The numbered bullet's text, as the presentation host writes it: the BulletFormat wrapper and
// the bullet record both take it from the one shared implementation.

#include "base/numbering/BulletNumber.h"

namespace genswf {
namespace numbering {

using base::numbering::FormatBulletNumber;

}  // namespace numbering
}  // namespace genswf
