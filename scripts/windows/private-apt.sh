# Sourced: apt-get with a configuration of its own, so that source packages of
# the Debian release this machine runs can be fetched without touching the
# machine's /etc/apt (no list added, no state changed).
#   private_apt_source <folder> <package>...   downloads and unpacks the sources
#   private_apt_source_of_release <release> <folder> <package>...
#       the same from another Debian release (e.g. trixie), through a private
#       list and state of its own, so the other sources keep this machine's release
# TESSARO_CACHE=<folder>: where apt's private state lives (default ~/.cache/tessaro).

private_apt_dir=${TESSARO_CACHE:-$HOME/.cache/tessaro}/apt

private_apt_lines() {
    # deb-src lines for every archive and suite the machine's own Debian lists name.
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        grep -hE '^deb[[:space:]]+[^[:space:]]*(http|https)://[^[:space:]]*debian' "$file" | sed 's/^deb /deb-src /' || true
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '
            function flush() {
                if (deb && uris ~ /debian/) {
                    n = split(uris, u, " "); m = split(suites, s, " ")
                    for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
                        printf "deb-src %s%s %s %s\n", (signed ? "[signed-by=" signed "] " : ""), u[i], s[j], comps
                }
                deb = 0; uris = ""; suites = ""; comps = ""; signed = ""
            }
            /^[[:space:]]*$/ { flush(); next }
            /^Types:/ { deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/) }
            /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
            /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
            /^Components:/ { sub(/^Components:[[:space:]]*/, ""); comps = $0 }
            /^Signed-By:/ { sub(/^Signed-By:[[:space:]]*/, ""); signed = $0 }
            END { flush() }
        ' "$file"
    done
}

private_apt() {
    apt-get -o Dir::Etc::SourceList="$private_apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
        -o Dir::State="$private_apt_dir/state" -o Dir::State::status=/var/lib/dpkg/status \
        -o Dir::Cache="$private_apt_dir/cache" -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)" "$@"
}

# The archive's deb-src line for release, from the first Debian archive the
# machine's lists name (its signing key with it).
private_apt_release_lines() {  # release
    private_apt_lines | grep -v -- '-security' | head -n 1 |
        awk -v release="$1" '{ for (i = 1; i <= NF; i++) if ($i ~ /:\/\//) { $(i + 1) = release; print; exit } }'
}

private_apt_update() {
    mkdir -p "$private_apt_dir/state/lists/partial" "$private_apt_dir/cache/archives/partial"
    local lines
    if [ -n "${private_apt_release:-}" ]; then
        lines=$(private_apt_release_lines "$private_apt_release")
    else
        lines=$(private_apt_lines | sort -u)
    fi
    if [ -z "$lines" ]; then
        echo "No Debian archive found in /etc/apt to fetch sources from" >&2
        return 1
    fi
    printf '%s\n' "$lines" >"$private_apt_dir/sources.list"
    # One update a day is enough for source packages of a stable release.
    local stamp=$private_apt_dir/updated
    if [ -z "$(find "$stamp" -mmin -1440 2>/dev/null)" ] || ! cmp -s "$private_apt_dir/sources.list" "$stamp"; then
        private_apt update
        cp "$private_apt_dir/sources.list" "$stamp"
    fi
}

private_apt_source() {  # folder package...
    local folder=$1
    shift
    private_apt_update
    mkdir -p "$folder"
    # A security update replaces the version the day-old index names, whose
    # file then is gone from the archive: read the index anew and try again.
    if ! (cd "$folder" && private_apt source --download-only "$@"); then
        private_apt update
        cp "$private_apt_dir/sources.list" "$private_apt_dir/updated"
        if ! (cd "$folder" && private_apt source --download-only "$@"); then
            # A mirror that carries the security archive's index but not all
            # of its files: the release's own version of each package instead.
            local release=${private_apt_release:-$(. /etc/os-release && echo "$VERSION_CODENAME")} each pinned=()
            for each in "$@"; do
                if [[ $each == *=* ]]; then pinned+=("$each"); else pinned+=("$each/$release"); fi
            done
            (cd "$folder" && private_apt source --download-only "${pinned[@]}")
        fi
    fi
    local package dsc
    for package in "$@"; do
        package=${package%%[=/]*}  # name=version or name/release
        dsc=$(ls "$folder"/"${package}"_*.dsc | sort -V | tail -n 1)
        (cd "$folder" && dpkg-source --no-check -x "$(basename "$dsc")")
    done
}

private_apt_source_of_release() {  # release folder package...
    local release=$1 saved_dir=$private_apt_dir status=0
    shift
    private_apt_dir=$saved_dir-$release
    private_apt_release=$release
    private_apt_source "$@" || status=$?
    private_apt_dir=$saved_dir
    private_apt_release=
    return $status
}
