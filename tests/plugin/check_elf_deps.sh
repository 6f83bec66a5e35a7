#!/usr/bin/env bash
# The Linux plugin that ships loads on any x86-64 Linux with glibc 2.31 and a
# GPU driver's libGL, and nothing else:
# - it names no library but libc, libm, libdl, libpthread, the dynamic loader
#   and libGL;
# - it needs no symbol version of the C++ runtime or libgcc (GLIBCXX, CXXABI,
#   GCC), and none of glibc above 2.31;
# - every symbol it leaves undefined is the simulator's (XPLM...), OpenGL's
#   (gl..., glX...) or the C library's (versioned GLIBC_...), so none can be
#   missing only when it is loaded.
#   check_elf_deps.sh kyv_pop.xpl
set -euo pipefail
xpl="$1"
floor=2.31
status=0

needed=$(readelf -d "$xpl" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
allowed='^(libc\.so\.6|libm\.so\.6|libdl\.so\.2|libpthread\.so\.0|ld-linux-x86-64\.so\.2|libGL\.so\.1)$'
others=$(grep -v -E "$allowed" <<<"$needed" || true)
if [ -n "$others" ]; then
    echo "needs libraries a pilot's Linux may lack: $(tr '\n' ' ' <<<"$others")"
    status=1
fi

dynsyms=$(objdump -T "$xpl")
runtime=$(grep -o -E '\((GLIBCXX|CXXABI|GCC)_[0-9.]+\)[^ ]* +[^ ]+$' <<<"$dynsyms" || true)
if [ -n "$runtime" ]; then
    echo "needs the system's C++ runtime or libgcc:"
    sed 's/^/  /' <<<"$runtime" | head -n 20
    status=1
fi
too_new=$(grep -o -E 'GLIBC_[0-9.]+' <<<"$dynsyms" | sort -u -V |
    awk -v floor="$floor" '{ v = substr($1, 7); if (system("dpkg --compare-versions " v " gt " floor) == 0) print }')
if [ -n "$too_new" ]; then
    echo "needs glibc above $floor: $(tr '\n' ' ' <<<"$too_new")"
    grep -E "($(paste -sd'|' <<<"$too_new"))" <<<"$dynsyms" | sed 's/^/  /' | head -n 20
    status=1
fi

# objdump -T: address, flags, section, size, [version,] name; an undefined
# one is *UND*. Weak ones resolve to null when nobody defines them: the
# profiler's hook and the transactional-memory runtime's, which the static
# C++ runtime refers to and never calls without it.
strays=$(awk '$0 ~ /\*UND\*/ {
        name = $NF; version = $(NF - 1); weak = ($2 == "w")
        if (version ~ /^\(?GLIBC_/ || name ~ /^(XPLM|gl[A-Z]|glX[A-Z])/) next
        if (weak && name ~ /^(__gmon_start__|_ITM_[A-Za-z0-9_]+|_ZGTt[A-Za-z0-9_]+)$/) next
        print name " " version
    }' <<<"$dynsyms")
if [ -n "$strays" ]; then
    echo "leaves undefined symbols that neither the simulator, OpenGL nor libc defines:"
    sed 's/^/  /' <<<"$strays" | head -n 20
    status=1
fi

max=$(grep -o -E 'GLIBC_[0-9.]+' <<<"$dynsyms" | sort -u -V | tail -n 1)
[ $status -ne 0 ] || echo "needs only $(tr '\n' ' ' <<<"$needed")with ${max:-no GLIBC version}; no C++ runtime; every undefined symbol XPLM, GL or libc"
exit $status
