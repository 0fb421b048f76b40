# The chart of make bench: six panels of two bars each, ours first (blue),
# the peer or the plain loop second (orange), then three panels of how the
# times grow, ours and the peer as lines over the points of each series.
# report.py sets datafile, growthfile, outfile, heading, goal and the panel
# titles t0..t8.
set terminal pngcairo size 1500,1350 font "DejaVu Sans,12" noenhanced
set output outfile
set style fill solid 0.85 border -1
set boxwidth 0.6
set grid ytics lc rgb "#dddddd"
set border 3
set ytics nomirror
set linetype 1 lc rgb "#2f6fb0"
set linetype 2 lc rgb "#e0812b"
unset key
set multiplot layout 3,3 title heading font ",15"
do for [k=0:5] {
  set yrange [0:*]
  set xrange [-0.6:1.6]
  set offsets 0, 0, graph 0.22, 0
  set xtics nomirror scale 0
  set title value(sprintf("t%d", k))
  if (k == 5) {
    set yrange [0:goal*1.25<*]
    set arrow 1 from graph 0, first goal to graph 1, first goal nohead dt 2 lw 2 lc rgb "#aa0000" front
  }
  plot datafile index k using 0:2:3:xtic(1) with boxes lc variable, \
       '' index k using 0:2:(sprintf("%.2f", $2)) with labels offset 0,0.8
  unset arrow 1
}
# The growth panels: both axes logarithmic, so that a straight line of
# slope one is a cost that grows in proportion.
set offsets 0, 0, 0, 0
set logscale xy
set xrange [*:*]
set yrange [*:*]
set xtics nomirror scale 1 autofreq
set grid xtics ytics lc rgb "#dddddd"
set key top left box opaque
do for [k=0:2] {
  set title value(sprintf("t%d", k + 6))
  plot growthfile index k using 1:2 with linespoints lt 1 lw 2 pt 7 title "ours", \
       '' index k using 1:3 with linespoints lt 2 lw 2 pt 5 title "NSIS"
}
unset multiplot
