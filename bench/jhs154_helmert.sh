# The JHS 154 similarity (Helmert) transformation ETRS-TM35FIN -> KKJ zone 3
# as a PROJ pipeline, for the benchmarks that set Lomitra against PROJ.
# Sourced; jhs154_helmert_pipeline prints the pipeline on one line.
#
# X' = s R X + T with
#   R = | 1       -6.673e-6  -1.675e-6 |
#       | 6.673e-6  1          2.3276e-5 |
#       | 1.675e-6 -2.3276e-5  1        |
# (radians), s = 0.9999985035, T = (96.061, 82.4298, 121.7485) m. PROJ's
# position-vector convention writes R = [[1, -rz, ry], [rz, 1, -rx], [-ry, rx, 1]],
# so rx = -2.3276e-5, ry = -1.675e-6, rz = 6.673e-6 rad, given in arc seconds;
# its scale is in ppm and multiplies the rotated vector before the shift.
jhs154_helmert_pipeline() {
  arcsec() { awk -v r="$1" 'BEGIN { printf "%.10f", r * 648000 / atan2(0, -1) }'; }
  tr -s ' \n' '  ' <<EOT
+proj=pipeline
  +step +inv +proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=500000 +y_0=0 +ellps=GRS80
  +step +proj=cart +ellps=GRS80
  +step +proj=helmert +convention=position_vector +x=96.061 +y=82.4298 +z=121.7485
        +rx=$(arcsec -2.3276e-5) +ry=$(arcsec -1.675e-6) +rz=$(arcsec 6.673e-6) +s=-1.4965
  +step +inv +proj=cart +ellps=intl
  +step +proj=tmerc +lat_0=0 +lon_0=27 +k=1 +x_0=3500000 +y_0=0 +ellps=intl
EOT
}
