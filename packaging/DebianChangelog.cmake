# SPDX-License-Identifier: MIT
# The package's changelog as Debian reads it: a package whose version has no Debian
# revision is native, and keeps its changelog in usr/share/doc/<package>/changelog.gz,
# in the Debian form. One entry, for this version, pointing at CHANGELOG.md.
#
# tolmere_debian_changelog(OUTPUT PACKAGE VERSION DATE MAINTAINER) writes OUTPUT; DATE
# is YYYY-MM-DD.
function(tolmere_debian_changelog output package version date maintainer)
  if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-0?([0-9]+)-0?([0-9]+)$")
    message(FATAL_ERROR "release date ${date} is not YYYY-MM-DD")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(month ${CMAKE_MATCH_2})
  set(day ${CMAKE_MATCH_3})
  # Debian checks the weekday against the date (Sakamoto's method; 0 is Sunday).
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday_name)
  list(GET months ${index} month_name)
  if(day LESS 10)
    set(day "0${day}")
  endif()
  file(WRITE ${output}
    "${package} (${version}) unstable; urgency=medium\n"
    "\n"
    "  * Release ${version}. What it changed is in\n"
    "    /usr/share/doc/${package}/CHANGELOG.md.\n"
    "\n"
    " -- ${maintainer}  ${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000\n")
endfunction()
