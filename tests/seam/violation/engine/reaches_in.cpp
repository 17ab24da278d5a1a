// Not compiled: the seam check must refuse this file's include.
#include "tavik/tavik_secret_file.h"
  #  include <tavik/secretfile/container_errors.h>
